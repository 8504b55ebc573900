// The throttle of the portal's history pages: every counted request restarts a rest window
// of ACCESS_REST_SECONDS; more than ACCESS_LIMIT requests inside it and the bulk downloads
// must rest. The count and the time of the last request (LatestTime, nHttpCount in
// net/download_settings.h) are saved as they change, so a restart or a kill keeps a rest.
#pragma once

#include <cstdint>
#include <string>

constexpr int ACCESS_LIMIT = 100;
constexpr int64_t ACCESS_REST_SECONDS = 2100;
// Added to the count by the today-download test, so any open window blocks it.
constexpr int TODAY_ACCESS_ALLOWANCE = 350;

// While set, requests are not counted (the back-fill's daily-bar pages of the other portal).
extern int fNoAccessCount;

// Counts one history-page request (unless fNoAccessCount): TouchAccess, then one more.
void CountAccess();
// A closed window starts the count again at 0; the window restarts now.
void TouchAccess();
// Seconds until the rest window closes (negative once it has).
int64_t BlockRemaining();
// 1 when more than ACCESS_LIMIT requests were counted and the window is open.
int IsAccessBlocked();
// The today-download test: logs the count and the wait, 1 while the window is open.
int IsTodayDownloadBlocked();
// The count starts again; LatestTime stays, so the window stays as it was.
void ResetAccessCount();
void SetHttpCount(int count);
int GetHttpCount();

// "%d時間%2d分%02d秒", "%2d分%02d秒" or "%2d秒".
std::string FormatWaitTime(int64_t seconds);
// The warning before a command while the portal rests: IDYES to go on anyway, IDNO.
int AccessWarning();
// The check of the download commands (40082 asks IsTodayDownloadBlocked, the others
// IsAccessBlocked): true to go on. Going on through the warning resets the count. While the
// timed download runs no box is shown: the reason is logged and the command does not run.
bool AccessAllowsCommand(int command_id);

// LatestTime from the settings file, which holds its low 32 bits: read back as unsigned; a
// time more than one rest window ahead of the clock (a clock set back, a damaged file)
// counts as 0, so it can never block for longer than one window.
int64_t LatestTimeFromFile(uint32_t low_bits);
