// The general page fetch end to end: the same page through either path gives the same
// text, and its converted tokens are what the scrapers look for.
#include "net/page_fetch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/download_progress.h"
#include "net/fetch_watch.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_text.h"
#include "net/token_list.h"
#include "support/loopback_net.h"
#include "support/prt_text.h"

namespace {

class PageFetchTest : public LoopbackNetTest {};

TEST_F(PageFetchTest, BothPathsGiveTheSameText) {
  StartServer().Route("/quote/7203.T", FixtureReply("net/quote_page.html"));
  const std::string expected = ReadFixture("net/quote_page.txt");

  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);  // own client
  EXPECT_EQ(std::string(PageText), expected);
  CurrentNetConfig().wininet = 1;
  OpenSession();
  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);  // internet library
  EXPECT_EQ(std::string(PageText), expected);
  const auto requests = server->requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[0].bytes.find(" HTTP/1.0\r\n"), std::string::npos);
  EXPECT_NE(requests[1].bytes.find(" HTTP/1.1\r\n"), std::string::npos);

  Utf8_to_Ansi(PageText, sizeof PageText);
  EXPECT_NE(std::string(PageText).find(" 出来高\n 12,345,600 株\n"), std::string::npos);
  EXPECT_NE(std::string(PageText).find("更新 ?"), std::string::npos);  // the emoji alone is lost
}

TEST_F(PageFetchTest, TokensOfAConvertedPage) {
  StartServer().Route("/quote/7203.T", FixtureReply("net/quote_page.html"));
  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);
  FixUtf8Dash(HttpBuf);
  Utf8_to_Ansi(HttpBuf, sizeof HttpBuf);
  const int n = TokenisePlane(HttpBuf);
  const std::vector<std::string> tokens(PlaneBUF, PlaneBUF + n);
  const std::vector<std::string> expected = {
      "トヨタ自動車(株)【7203】：株価", "トヨタ自動車(株)", "始値", "2,845", "高値", "2,870", "出来高",
      "12,345,600株", "前日比－15(－0.52%)", "2026/12/1015:00～更新?",
  };
  EXPECT_EQ(tokens, expected);
  EXPECT_TRUE(IsTokenEnd(PlaneToken(n)));
}

TEST_F(PageFetchTest, FailedFetchLeavesNoOldPage) {
  StartServer().Route("/ok", FixtureReply("net/error_page.html"));
  ASSERT_EQ(GetHttpFile("https://portal.test/ok"), 1);
  loopback::Reply cut;
  cut.body = "<p>cut";
  cut.close_notify = false;
  server->Route("/cut", cut);
  EXPECT_EQ(GetHttpFile("https://portal.test/cut"), 0);
  EXPECT_EQ(HttpBuf[0], '\0');
  EXPECT_EQ(HttpBufLen, 0);
}

// A server that sends a byte every 150 ms is never silent for the idle time-out (1 s here),
// but a fetch still ends: at the whole-request deadline, or as soon as the run watching the
// fetch is cancelled. Both paths alike; the wait is measured by the fetch's own outcome, the
// transfer would take a minute.
struct CancelAfterPolls final : DownloadProgress {
  int polls = 0, cancel_at;
  explicit CancelAfterPolls(int n) : cancel_at(n) {}
  void ShowProgress(int, int, const char*, const char*) override {}
  bool CancelRequested() override { return false; }
  bool CancelDuringFetch() override { return ++polls >= cancel_at; }
};

TEST_F(PageFetchTest, ATricklingServerEndsAtTheDeadlineOrAtCancel) {
  loopback::Reply trickle = PageReply(std::string(400, 't'));
  trickle.trickle_bytes = 1;
  trickle.trickle_ms = 150;
  StartServer().Route("/slow", trickle);
  for (int wininet : {0, 1}) {
    SCOPED_TRACE(wininet ? "internet library" : "own client");
    CurrentNetConfig().wininet = wininet;
    if (wininet) OpenSession();
    CurrentNetConfig().deadline_ms = 1500;
    ClearPrtHistory();
    EXPECT_EQ(GetHttpFile("https://portal.test/slow"), 0);
    EXPECT_EQ(HttpBuf[0], '\0');
    if (!wininet) EXPECT_TRUE(PrtHas("request deadline: 1500 ms"));

    CurrentNetConfig().deadline_ms = 60000;
    CancelAfterPolls run(3);
    {
      const FetchWatch watch(&run);
      EXPECT_EQ(GetHttpFile("https://portal.test/slow"), 0);
    }
    EXPECT_EQ(run.polls, 3);
    EXPECT_FALSE(FetchStopRequested());  // outside the run nothing stops a fetch
  }
  EXPECT_TRUE(PrtHas("stopped by the user"));
}

}  // namespace
