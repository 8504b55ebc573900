// "vurndb today" as a scheduled job runs it: exit codes and the reason on failure, with
// the settings file of the folder pointing the web sources at the loopback server.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "db/stock_code.h"
#include "net/today_download.h"
#include "net/tokyo_time.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/today_pages.h"
#include "support/utf8.h"

namespace {

using ToolRun = CommandRun;

// Friday 2026-12-11 18:00 in Japan: the trading day after the fixture calendar's last day
// (Thursday 12-10), its trading over. vurndb runs with its clock starting there, so the day
// it fetches and merges is the same on every day the suite runs.
constexpr int64_t kFridayEvening = 1796979600;

ToolRun Vurndb(const std::string& args) {
  return RunCommandAt(std::string(VURN_BINARY_DIR) + "/vurndb " + args, kFridayEvening);
}

class VurndbToday : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    if (::access((std::string(VURN_BINARY_DIR) + "/vurndb").c_str(), X_OK) != 0) GTEST_SKIP() << "vurndb not built";
    StartServer();
    const std::string port = std::to_string(server->port());
    WriteFileBytes(dir.File("mirelo.ini"),
                   "[Https]\nCAFile=" + loopback::HttpsServer::CaFile() + "\nConnectTo=portal.test=127.0.0.1:" + port +
                       ",chart.test=127.0.0.1:" + port +
                       "\n[WebSource]\nPortal=https://portal.test\nChartApi=https://chart.test\nProbeCode=7001\n");
  }
  void TearDown() override {
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  // The probe page of stock 7001 dated today (Japan time), trading over.
  void ServeProbe() {
    TokyoTime now{};
    TokyoTimeOf(kFridayEvening, &now);
    char date[8];
    std::snprintf(date, sizeof date, "%02d/%02d", now.month, now.day);
    QuoteFigures figures;
    figures.time_text = date;  // a date in place of the time: the day's trading is over
    figures.limit_date = date;
    figures.open = figures.high = figures.low = figures.close = "1,000";
    figures.volume = "100";
    loopback::Reply r;
    r.body = QuotePage(figures);
    server->Route(QuotePath("7001.T"), r);
  }
  TempDir dir;
};

TEST_F(VurndbToday, ExitCodesAndReasons) {
  // No database to update: the sample database is not updated either.
  ToolRun r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 3) << r.out;
  EXPECT_EQ(Vurndb("-C " + dir.path() + " today extra").code, 2);

  WriteFixtureDatabase(3, 10);
  // The probe page cannot be read.
  r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 6) << r.out;
  EXPECT_NE(r.out.find(U8(u8"日付の取得に失敗しました")), std::string::npos) << r.out;

  // Three stocks are far fewer than a day file needs.
  ServeProbe();
  for (const char* symbol : {"7000.T", "7001.T", "7002.T"}) {
    loopback::Reply reply;
    reply.body = ChartJson(symbol, std::to_string(kFridayEvening), "10", "12", "9", "11", "100");
    server->Route(ChartPath(symbol), reply);
  }
  r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 6) << r.out;
  EXPECT_NE(r.out.find(U8(u8"取得できた株数が少ないので中止しました (3/3)")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("date: "), std::string::npos) << r.out;
  EXPECT_EQ(server->requests().size(), 5u);  // the probe twice, three chart documents
}

// A site that does not answer at all (here nobody listens on its port) is "later", named as
// such, not a page the reader failed to read.
TEST_F(VurndbToday, NoAnswerMeansLater) {
  WriteFixtureDatabase(3, 10);
  server.reset();
  ToolRun r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 7) << r.out;
  EXPECT_NE(r.out.find(U8(u8"株価のサイトに接続できません")), std::string::npos) << r.out;
}

// The portal's rest window holds for the scheduled run as for the download command: with 150
// requests counted ten minutes ago, nothing is fetched and the code says "later".
TEST_F(VurndbToday, TheRestWindowMeansLater) {
  WriteFixtureDatabase(3, 10);
  std::string ini = ReadFileBytes(dir.File("mirelo.ini"));
  ini += "[YahooBlock]\nLatestTime=" + std::to_string(kFridayEvening - 600) + "\nHttpCount=150\n";
  WriteFileBytes(dir.File("mirelo.ini"), ini);
  ServeProbe();
  const std::string before = ReadFileBytes(dir.File("vurn.hy3"));
  ToolRun r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 7) << r.out;
  EXPECT_NE(r.out.find(U8(u8"アクセス規制中です（残り2")), std::string::npos) << r.out;
  EXPECT_TRUE(server->requests().empty());
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), before);
}

TEST_F(VurndbToday, DownloadsAndMergesTheDay) {
  const int stocks = TODAY_MIN_FILLED;
  WriteFixtureDatabase(stocks, 10);
  // The internet library's path: one connection for the whole run.
  std::string ini = ReadFileBytes(dir.File("mirelo.ini"));
  ini.insert(ini.find("[Https]\n") + 8, "WinInet=1\n");
  WriteFileBytes(dir.File("mirelo.ini"), ini);
  ServeProbe();
  const std::string ts = std::to_string(kFridayEvening);
  for (int n = 0; n < stocks; ++n) {
    const std::string symbol = std::string(Code_to_String(FixtureCode(n)).c_str()) + ".T";
    loopback::Reply reply;
    reply.body = ChartJson(symbol, ts, "2000", "2010", "1990", "2005", "12345");
    server->Route(ChartPath(symbol), reply);
  }
  ToolRun r = Vurndb("-C " + dir.path() + " today");
  ASSERT_EQ(r.code, 0) << r.out;
  // 12345 shares are 12.345 thousand in the day file; the record keeps four digits.
  ToolRun dump = Vurndb("-C " + dir.path() + " dump 7002");
  EXPECT_NE(dump.out.find(" 2000 2010 1990 2005 12340 "), std::string::npos) << dump.out.substr(dump.out.size() - 300);
  // The same day again: already held.
  r = Vurndb("-C " + dir.path() + " today");
  EXPECT_EQ(r.code, 6) << r.out;
}

}  // namespace
