#include "net/timed_download.h"

#include <random>

#include "db/database_file.h"
#include "net/access_throttle.h"
#include "net/download_settings.h"
#include "net/today_download.h"
#include "platform/clock.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"

int DownloadHour = 17;
int DownloadMinute = 0;
int32_t DoneDate = 0;

namespace {

std::mt19937& Random() {
  static std::mt19937 r;
  return r;
}
bool g_seeded = false;
int g_ticks = 0;

}  // namespace

void SeedDownloadRandom(uint32_t seed) {
  Random().seed(seed);
  g_seeded = true;
}

void ChooseDownloadTime() {
  if (!g_seeded) SeedDownloadRandom(static_cast<uint32_t>(HostNow()));
  DownloadHour = 17 + static_cast<int>(Random()() % 2);
  DownloadMinute = static_cast<int>(Random()() % 60);
}

int IsDownloadTime() {
  int year, month, day, weekday, hour, minute, second;
  GetNowTime(&year, &month, &day, &weekday, &hour, &minute, &second);
  // The whole date: a day of the month alone would skip the same day of the next month.
  const int32_t today = year * 10000 + month * 100 + day;
  if (today == DoneDate) return 0;
  if (weekday == 0 || weekday == 6) return 0;
  const int now = hour * 60 + minute;
  const int target = DownloadHour * 60 + DownloadMinute;
  if (g_ticks++ % 60 == 0)
    PRT("\nt=%4d,%4d,%d/%02d/%02d %02d:%02d:%02d", now, target, year, month, day, hour, minute, second);
  else
    PRT(".");
  if (now < target || now > target + 10) return 0;
  DoneDate = today;
  return 1;
}

void OnMinuteTimer() {
  if (!AutoDownload) return;
  if (fTimedDownload) return;
  if (fBusy) return;
  if ((CountMainWindowsHook ? CountMainWindowsHook() : 1) != 1) return;
  if (!IsDownloadTime()) return;
  if (IsTodayDownloadBlocked()) {
    // No box without a person: the day stays open and the target moves to the minute the
    // rest window closes.
    const int64_t wait = BlockRemaining();
    int year, month, day, weekday, hour, minute;
    GetNowTime(&year, &month, &day, &weekday, &hour, &minute, nullptr);
    const int at = hour * 60 + minute + static_cast<int>((wait + 59) / 60);
    DoneDate = 0;
    DownloadHour = at / 60;
    DownloadMinute = at % 60;
    PRT("アクセス規制中のため自動ダウンロードを %02d:%02d に延期します（残り%s）\n", DownloadHour, DownloadMinute,
        FormatWaitTime(wait).c_str());
    return;
  }
  ChooseDownloadTime();
  if (RunCountDown(COUNT_DOWN_TIMED) != 1) return;
  fTimedDownload = 1;
  OnCommand(IDM_TODAY_DOWNLOAD);
  fTimedDownload = 0;
}

CountDown StartCountDown(int mode) {
  CountDown c;
  c.mode = mode;
  c.count = mode == COUNT_DOWN_REST ? COUNT_DOWN_REST_SECONDS : COUNT_DOWN_TIMED_SECONDS;
  PRT("wait %d sec...\n", c.count);
  return c;
}

bool CountDownTick(CountDown* c, std::string* text) {
  if (c->count <= 0) return false;
  if (text) *text = FormatWaitTime(c->count);
  --c->count;
  return true;
}

const char* CountDownTitle(int mode) {
  return mode == COUNT_DOWN_REST ? "待機中" : "株価データのダウンロードを開始します";
}

const char* CountDownText(int mode) {
  return mode == COUNT_DOWN_REST
             ? "Yahoo!ファイナンスのアクセス規制が解除されるまで待機しています。\n中断した場合、次回は続きから再開されます。"
             : "今日の株価データを自動的にダウンロードして更新します。";
}

void ShowCountDownInterrupted(int mode) {
  if (mode == COUNT_DOWN_REST)
    HostMessageBox("待機を中止しました。\n次回は続きから続行できます。", "お知らせ", MB_OK | MB_ICONINFORMATION);
  else
    HostMessageBox("今回のタイマー更新を中止しました。\n\n今後もこの機能を使わない場合はメニューの「ファイル」→「各種設定」→"
                   "「その他」で\n「タイマー更新」のチェックを外して下さい。",
                   "更新を中止しました", MB_OK | MB_ICONINFORMATION);
}

int RunCountDown(int mode) {
  if (CountDownDialog) return CountDownDialog(mode);
  CountDown c = StartCountDown(mode);
  while (CountDownTick(&c, nullptr)) HostSleepMs(1000);
  return 1;
}
