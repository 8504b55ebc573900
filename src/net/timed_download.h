// The timed download: once per weekday, at a random minute between 17:00 and 18:59 (or at a
// tick up to ten minutes later), the minute timer counts 30 seconds down and runs today's
// download (command 40082) unattended. The countdown dialog "COUNT_DOWN" also serves the
// back-fill's rest while the portal's access counter blocks it.
#pragma once

#include <cstdint>
#include <string>

// Today's target time: hour 17 or 18, minute 0 to 59.
extern int DownloadHour;
extern int DownloadMinute;
// The date (yyyymmdd) on which the timed download last fired; 0 when it has not.
extern int32_t DoneDate;

// The random source of the target time; seeded from the clock before the first draw unless
// a test seeded it.
void SeedDownloadRandom(uint32_t seed);
// Draws a new target time.
void ChooseDownloadTime();
// The schedule test of one minute tick: 1 (and today marked done) in the first tick from the
// target minute to ten minutes after it, on a weekday not yet done.
int IsDownloadTime();
// The minute timer's work (timer 3): AutoDownload, fTimedDownload, fBusy, a single main
// window and the schedule, in this order; then a new target, the 30-second countdown and
// command 40082 with fTimedDownload set. While the access counter blocks today's download,
// nothing is shown: the reason is logged and the target moves to the minute the block ends.
void OnMinuteTimer();

// The countdown dialog's modes and what it counts.
enum CountDownMode { COUNT_DOWN_TIMED = 1, COUNT_DOWN_REST = 2 };
constexpr int COUNT_DOWN_TIMED_SECONDS = 29;
constexpr int COUNT_DOWN_REST_SECONDS = 2100;

// The dialog's state, driven by its one-second timer.
struct CountDown {
  int mode = COUNT_DOWN_TIMED;
  int count = 0;
};
// Opening: the count of the mode, with the line "wait %d sec...".
CountDown StartCountDown(int mode);
// One tick: false when the count has run out (the dialog ends with 1); otherwise the text
// to show (FormatWaitTime of the count) and one second less.
bool CountDownTick(CountDown* c, std::string* text);
// The title and the explanation of a mode.
const char* CountDownTitle(int mode);
const char* CountDownText(int mode);
// After "中断": the notice of the mode (text and caption).
void ShowCountDownInterrupted(int mode);
// Runs the countdown: the dialog when one is installed (CountDownDialog in
// platform/hooks.h), else one host sleep of a second per tick. 1 when it ran out, 0 when
// interrupted.
int RunCountDown(int mode);
