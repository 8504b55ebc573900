// The host layer without a desktop: progress times, file filters, print placement, the
// defaults every host inherits, and the scripted host's hooks.
#include "platform/host.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/file_filters.h"
#include "platform/print_layout.h"
#include "platform/progress.h"
#include "platform/web_url.h"
#include "support/scripted_host.h"
#include "support/utf8.h"

namespace {

TEST(Progress, TimeTextsSwitchToHoursAboveOneHour) {
  const struct {
    int64_t seconds;
    const char8_t* text;
  } cases[] = {
      {0, u8"0分00秒"},   {59, u8"0分59秒"},      {65, u8"1分05秒"},
      {3600, u8"60分00秒"}, {3601, u8"1時間 0分"}, {3 * 3600 + 25 * 60 + 59, u8"3時間25分"},
      {-5, u8"0分00秒"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp932ToUtf8(ProgressTimeText(c.seconds)), U8(c.text)) << c.seconds;
}

TEST(Progress, RemainingTimeFromTheShareDone) {
  EXPECT_EQ(ProgressRemaining(0, 0, 4000), 0);
  EXPECT_EQ(ProgressRemaining(10, 0, 4000), 39990);  // one item took 10 s
  EXPECT_EQ(ProgressRemaining(60, 999, 4000), 180);  // a quarter in a minute
  EXPECT_EQ(ProgressRemaining(60, 3999, 4000), 0);
  EXPECT_EQ(ProgressRemaining(60, 5000, 4000), 0);   // past the end never goes negative
}

TEST(Progress, RunShowsTimesAndStopsWhenCancelled) {
  ScriptedHost host;
  int stopped_at = -1;
  {
    ProgressRun run("補充", "しばらくお待ち下さい。", 100);
    EXPECT_TRUE(host.progress.open);
    EXPECT_EQ(host.progress.total, 100);
    // Each item takes 30 s; the user presses Cancel while item 4 is shown.
    host.on_pump = [&] {
      if (host.progress.done == 4) host.progress_cancel = true;
    };
    for (int i = 0; i < 100; ++i) {
      if (!run.Step(i)) {
        stopped_at = i;
        break;
      }
      host.now += 30;
    }
    EXPECT_TRUE(run.Cancelled());
    EXPECT_EQ(Cp932ToUtf8(host.progress.elapsed), U8(u8"2分00秒"));
    EXPECT_EQ(Cp932ToUtf8(host.progress.remaining), U8(u8"38分00秒"));  // 120 × 100 ÷ 5 − 120
  }
  EXPECT_EQ(stopped_at, 4);
  EXPECT_EQ(host.progress.steps, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(host.pumps, 5);
  EXPECT_FALSE(host.progress.open);
}

TEST(FileFilters, TableFormSplitsAtCharacterBoundaries) {
  // "ポ" is 0x83 0x7C: its second byte is the separator's.
  const std::string filters = "Kivora1日分ファイル(s*.txt;y*.txt;d*.txt)|s*.txt;y*.txt;d*.txt|"
                              "ポイント|p*.txt|空||PanRollingファイル(s*.txt)|s*.txt";
  const std::vector<FileFilter> f = ParseFileFilters(filters.c_str());
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(Cp932ToUtf8(f[0].name), U8(u8"Kivora1日分ファイル(s*.txt;y*.txt;d*.txt)"));
  EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"s*.txt", "y*.txt", "d*.txt"}));
  EXPECT_EQ(Cp932ToUtf8(f[1].name), U8(u8"ポイント"));
  EXPECT_EQ(f[1].patterns, std::vector<std::string>{"p*.txt"});
  EXPECT_EQ(f[2].patterns, std::vector<std::string>{"s*.txt"});
  EXPECT_TRUE(ParseFileFilters("").empty());
  EXPECT_TRUE(ParseFileFilters(nullptr).empty());
}

TEST(PrintPlacement, HalfAnInchInOneInchDownProportionsKept) {
  // 800 x 400 on a page 4800 pixels wide at 600 pixels per inch.
  const PrintRect r = PrintPlacement(800, 400, 4800, 6600, 600, 600);
  EXPECT_EQ(r.x, 300);
  EXPECT_EQ(r.y, 600);
  EXPECT_EQ(r.width, 4200);
  EXPECT_EQ(r.height, 2100);
  // A tall picture on a large page: the product passes 2^31 on the way.
  EXPECT_EQ(PrintPlacement(1000, 100000, 40000, 0, 1200, 1200).height, 3880000);
  EXPECT_EQ(PrintPlacement(0, 400, 4800, 6600, 600, 600).height, 0);
}

TEST(PrintPlacement, TallerThanThePageShrinksToEndHalfAnInchAboveItsFoot) {
  // 400 x 1600 at 600 dpi on 4800 x 6600: full width would be 16800 high; the room below
  // the top inch and above the last half inch is 6600 - 600 - 300 = 5700.
  const PrintRect r = PrintPlacement(400, 1600, 4800, 6600, 600, 600);
  EXPECT_EQ(r.x, 300);
  EXPECT_EQ(r.y, 600);
  EXPECT_EQ(r.height, 5700);
  EXPECT_EQ(r.width, 1425);  // 400 : 1600 kept
  // Exactly fitting stays as it is.
  EXPECT_EQ(PrintPlacement(4200, 5700, 4800, 6600, 600, 600).width, 4200);
}

TEST(WebUrl, OnlyHttpAndHttpsWithAHostAndNoBlanks) {
  for (const char* ok : {"https://kivora.jp/", "http://a", "https://finance.yahoo.co.jp/quote/7203.T?x=1"})
    EXPECT_TRUE(IsWellFormedWebUrl(ok)) << ok;
  for (const char* bad : {"", "ftp://a/", "https://", "https:///x", "https://a b/", "https://a/\r\nX: y",
                          "javascript:alert(1)", "file:///etc/passwd", "https://a/\x7f"})
    EXPECT_FALSE(IsWellFormedWebUrl(bad)) << bad;
}

TEST(HostDefaults, AHostOverridingNothingBehavesLikeTheConsole) {
  struct Bare final : Host {} bare;
  SetHost(&bare);
  EXPECT_EQ(HostMessageBox("x", "y", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(HostMessageBox("x", "y", MB_OKCANCEL), IDOK);
  EXPECT_EQ(HostChooseOpenFile("t", "/tmp", "a|*.txt|"), "");
  EXPECT_EQ(HostChooseFolder("t", "/tmp"), "");
  std::string text = "old";
  EXPECT_FALSE(HostGetClipboardText(text));
  EXPECT_EQ(text, "");
  HostImage img{2, 1, {0xFFFFFFFF, 0xFF000000}};
  EXPECT_FALSE(HostSetClipboardImage(img));
  EXPECT_FALSE(HostPrintImage(img, "Kivora"));
  EXPECT_FALSE(HostOpenUrl("https://kivora.jp/"));
  EXPECT_GT(HostNow(), 1700000000);
  SetHost(nullptr);
}

TEST(ScriptedHostChoices, AnswersInOrderAndRefusesMalformedImages) {
  ScriptedHost host;
  host.Choose("/data/y20261210.txt");
  host.Choose("");
  EXPECT_EQ(HostChooseOpenFile("開く", "data", "a|*.txt|"), "/data/y20261210.txt");
  EXPECT_EQ(HostChooseFolder("フォルダを選択して下さい", "/"), "");
  EXPECT_EQ(host.choice_titles.size(), 2u);
  // A picture whose pixel count does not match its size never reaches the host.
  HostImage bad{3, 2, std::vector<uint32_t>(5)};
  EXPECT_FALSE(HostSetClipboardImage(bad));
  EXPECT_FALSE(HostPrintImage(bad, "Kivora"));
  EXPECT_TRUE(host.printed.empty());
  HostImage good{3, 2, std::vector<uint32_t>(6, 0xFFFF0000)};
  host.print_ok = false;
  EXPECT_FALSE(HostPrintImage(good, "Kivora"));
  host.print_ok = true;
  EXPECT_TRUE(HostPrintImage(good, "Kivora"));
  EXPECT_EQ(host.printed.size(), 1u);
}

}  // namespace
