// The access throttle and the timed download on a fake clock (the scripted host's `now`;
// the fixture sets the computer's zone to Tokyo's).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "db/database_file.h"
#include "net/access_throttle.h"
#include "net/download_settings.h"
#include "net/timed_download.h"
#include "net/today_download.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/hooks.h"
#include "platform/profile_file.h"
#include "shell/backfill_wiring.h"
#include "shell/settings.h"
#include "support/prt_text.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

// 2026-12-10 (a Thursday) 00:00 in Japan.
constexpr int64_t kThursday = 1796860800 - 9 * 3600;
int64_t At(int64_t day, int hour, int minute) { return day + hour * 3600 + minute * 60; }

class Throttle : public ::testing::Test {
 protected:
  void SetUp() override {
    // The clock's times are Tokyo's: the computer's zone is the user's, here fixed.
    const char* zone = std::getenv("TZ");
    saved_zone_ = zone ? zone : "";
    had_zone_ = zone != nullptr;
    setenv("TZ", "JST-9", 1);
    tzset();
    ResetAllSettings();
    host.now = At(kThursday, 10, 0);
    fNoAccessCount = 0;
    fTimedDownload = 0;
    fBusy = 0;
  }
  void TearDown() override {
    DownloadStateChangedHook = nullptr;
    CountDownDialog = nullptr;
    CountMainWindowsHook = nullptr;
    ClearCommands();
    ResetAllSettings();
    fTimedDownload = 0;
    if (had_zone_) setenv("TZ", saved_zone_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  std::string saved_zone_;
  bool had_zone_ = false;
  void Count(int n) {
    for (int i = 0; i < n; ++i) CountAccess();
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(Throttle, MoreThanAHundredRequestsInsideTheWindowBlockUntilItCloses) {
  Count(100);
  EXPECT_EQ(IsAccessBlocked(), 0);
  host.now += 34 * 60;  // still inside the window of the last request
  CountAccess();
  EXPECT_EQ(nHttpCount, 101);
  EXPECT_EQ(IsAccessBlocked(), 1);
  host.now += 2099;
  EXPECT_EQ(IsAccessBlocked(), 1);
  host.now += 1;  // 2100 seconds after the last request
  EXPECT_EQ(IsAccessBlocked(), 0);
  CountAccess();
  EXPECT_EQ(nHttpCount, 1);
}

TEST_F(Throttle, UncountedFetchesAndTheResetKeepTheWindow) {
  Count(101);
  const int64_t latest = LatestTime;
  fNoAccessCount = 1;
  host.now += 60;
  CountAccess();
  fNoAccessCount = 0;
  EXPECT_EQ(nHttpCount, 101);
  EXPECT_EQ(LatestTime, latest);
  ResetAccessCount();
  EXPECT_EQ(nHttpCount, 0);
  EXPECT_EQ(LatestTime, latest);
}

TEST_F(Throttle, OneRecentRequestBlocksTodaysDownloadOnlyAndTheWarningShowsTheWait) {
  CountAccess();
  host.now += 10 * 60;
  EXPECT_EQ(IsAccessBlocked(), 0);
  EXPECT_EQ(IsTodayDownloadBlocked(), 1);
  host.Answer(IDNO, "Yahoo!ファイナンスへのアクセス規制中");
  EXPECT_FALSE(AccessAllowsCommand(IDM_TODAY_DOWNLOAD));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("25分00秒お待ちください"), std::string::npos);
  EXPECT_EQ(host.boxes[0].type & MB_DEFBUTTON2, static_cast<unsigned>(MB_DEFBUTTON2));
  EXPECT_EQ(nHttpCount, 1);
  // Yes goes on and resets the count only.
  const int64_t latest = LatestTime;
  host.Answer(IDYES);
  EXPECT_TRUE(AccessAllowsCommand(IDM_TODAY_DOWNLOAD));
  EXPECT_EQ(nHttpCount, 0);
  EXPECT_EQ(LatestTime, latest);
  EXPECT_TRUE(AccessAllowsCommand(IDM_BACKFILL));
}

TEST_F(Throttle, TheTimedDownloadIsRefusedWithoutABox) {
  CountAccess();
  fTimedDownload = 1;
  EXPECT_FALSE(AccessAllowsCommand(IDM_TODAY_DOWNLOAD));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(PrtHas("アクセス規制中のため自動ダウンロードを見送りました"));
}

TEST_F(Throttle, WaitTimeForms) {
  const struct {
    int64_t seconds;
    const char* text;
  } cases[] = {{3725, "1時間 2分05秒"}, {125, " 2分05秒"}, {9, " 9秒"}, {0, " 0秒"}, {36000, "10時間 0分00秒"}};
  for (const auto& c : cases) EXPECT_EQ(FormatWaitTime(c.seconds), c.text) << c.seconds;
}

TEST_F(Throttle, TheBlockSurvivesASaveAndReloadAsItChanges) {
  DownloadStateChangedHook = SaveDownloadState;
  Count(101);
  const int64_t latest = LatestTime;
  // No save at exit: the state was written as it changed.
  ResetAllSettings();
  EXPECT_EQ(nHttpCount, 0);
  LoadSettings();
  EXPECT_EQ(nHttpCount, 101);
  EXPECT_EQ(LatestTime, latest);
  EXPECT_EQ(IsAccessBlocked(), 1);
}

TEST_F(Throttle, LatestTimeReadsBackUnsignedAndAFarFutureCountsAsZero) {
  // 2039: the low 32 bits look negative as an int.
  host.now = 2200000000LL;
  ProfileFile ini;
  ProfileSetInt(ini, "YahooBlock", "LatestTime", static_cast<int>(static_cast<uint32_t>(2199999000LL)));
  ProfileSetInt(ini, "YahooBlock", "HttpCount", 150);
  ASSERT_TRUE(ProfileSave(ini, dir.File("mirelo.ini").c_str()));
  LoadSettings();
  EXPECT_EQ(LatestTime, 2199999000LL);
  EXPECT_EQ(IsAccessBlocked(), 1);
  // A time far ahead of the clock would block for years: it counts as 0.
  host.now = At(kThursday, 10, 0);
  LoadSettings();
  EXPECT_EQ(LatestTime, 0);
  EXPECT_EQ(IsAccessBlocked(), 0);
}

// ---- The schedule.

class Schedule : public Throttle {
 protected:
  void SetUp() override {
    Throttle::SetUp();
    DoneDate = 0;
    DownloadHour = 17;
    DownloadMinute = 42;
  }
};

TEST_F(Schedule, FiresFromTheTargetMinuteToTenMinutesAfterOncePerDay) {
  const struct {
    int hour, minute, fires;
  } ticks[] = {{17, 41, 0}, {17, 42, 1}, {17, 52, 1}, {17, 53, 0}};
  for (const auto& t : ticks) {
    DoneDate = 0;
    host.now = At(kThursday, t.hour, t.minute);
    EXPECT_EQ(IsDownloadTime(), t.fires) << t.hour << ":" << t.minute;
  }
  DoneDate = 0;
  host.now = At(kThursday, 17, 45);
  EXPECT_EQ(IsDownloadTime(), 1);
  EXPECT_EQ(DoneDate, 20261210);
  host.now = At(kThursday, 17, 46);
  EXPECT_EQ(IsDownloadTime(), 0);  // done today
  // The same day of a later month is another day (2027-02-10, a Wednesday).
  host.now = At(kThursday, 17, 45) + 62 * 86400;
  EXPECT_EQ(IsDownloadTime(), 1);
}

TEST_F(Schedule, WeekendsNeverFireAndWriteNoDot) {
  for (int day : {2, 3}) {  // Saturday, Sunday
    const std::string before = PrtHistory();
    host.now = At(kThursday + day * 86400, 17, 45);
    EXPECT_EQ(IsDownloadTime(), 0);
    EXPECT_EQ(PrtHistory(), before);
  }
}

TEST_F(Schedule, TargetTimesStayInTheEveningWindow) {
  SeedDownloadRandom(12345);
  for (int i = 0; i < 200; ++i) {
    ChooseDownloadTime();
    EXPECT_TRUE(DownloadHour == 17 || DownloadHour == 18);
    EXPECT_GE(DownloadMinute, 0);
    EXPECT_LT(DownloadMinute, 60);
  }
  SeedDownloadRandom(7);
  ChooseDownloadTime();
  const int h = DownloadHour, m = DownloadMinute;
  SeedDownloadRandom(7);
  ChooseDownloadTime();
  EXPECT_EQ(DownloadHour, h);
  EXPECT_EQ(DownloadMinute, m);
}

int g_today_runs;
int g_timed_seen;

TEST_F(Schedule, TheMinuteTimerCountsDownAndRunsTodaysDownloadUnattended) {
  g_today_runs = 0;
  RegisterCommand(IDM_TODAY_DOWNLOAD, [](int) {
    ++g_today_runs;
    g_timed_seen = fTimedDownload;
  });
  AutoDownload = 1;
  host.now = At(kThursday, 17, 42);
  fBusy = 1;
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 0);
  fBusy = 0;
  CountMainWindowsHook = [] { return 2; };
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 0);
  CountMainWindowsHook = nullptr;
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 1);
  EXPECT_EQ(g_timed_seen, 1);
  EXPECT_EQ(fTimedDownload, 0);
  EXPECT_EQ(host.slept_ms, 29 * 1000);  // the countdown without a window
  EXPECT_TRUE(host.boxes.empty());
  OnMinuteTimer();  // done for today
  EXPECT_EQ(g_today_runs, 1);
}

TEST_F(Schedule, AnInterruptedCountdownEndsTheDay) {
  g_today_runs = 0;
  RegisterCommand(IDM_TODAY_DOWNLOAD, [](int) { ++g_today_runs; });
  CountDownDialog = [](int mode) { return mode == COUNT_DOWN_TIMED ? 0 : 1; };
  AutoDownload = 1;
  host.now = At(kThursday, 17, 43);
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 0);
  EXPECT_EQ(DoneDate, 20261210);
}

TEST_F(Schedule, ABlockedTimedDownloadShowsNothingAndTriesWhenTheBlockEnds) {
  g_today_runs = 0;
  RegisterCommand(IDM_TODAY_DOWNLOAD, [](int) { ++g_today_runs; });
  AutoDownload = 1;
  host.now = At(kThursday, 17, 30);
  CountAccess();  // one history page: the window is open until 18:05
  host.now = At(kThursday, 17, 42);
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 0);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(DownloadHour, 18);
  EXPECT_EQ(DownloadMinute, 5);
  host.now = At(kThursday, 18, 4);
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 0);
  host.now = At(kThursday, 18, 5);
  OnMinuteTimer();
  EXPECT_EQ(g_today_runs, 1);
}

TEST_F(Schedule, TheCountdownTicksThroughItsSecondsInBothModes) {
  for (int mode : {COUNT_DOWN_TIMED, COUNT_DOWN_REST}) {
    CountDown c = StartCountDown(mode);
    int ticks = 0;
    std::string text, first;
    while (CountDownTick(&c, &text)) {
      if (ticks++ == 0) first = text;
    }
    EXPECT_EQ(ticks, mode == COUNT_DOWN_TIMED ? 29 : 2100);
    EXPECT_EQ(first, mode == COUNT_DOWN_TIMED ? "29秒" : "35分00秒");
  }
}

}  // namespace
