// Today's prices as a command: 40082 opens the download dialog (or runs the download
// without one), merges the day file it wrote and checks the price alerts; the data tool's
// "today" runs the same download and merge unattended, as the timed download does.
#pragma once

#include <string>
#include "platform/hooks.h"

struct DownloadProgress;

// The feature of command 40082, run inside the update-command steps.
void TodayDownloadCommand();
// Merges the day file the download wrote (path) with UpdateFromDayFile, unattended while the
// timed download runs. 1 when merged. Tests may put another merge in MergeDayFileHook.
// The merge runs through MergeDayFileHook (platform/hooks.h) when one is installed.
int MergeTodayDayFile(const char* path);

// The unattended update of the working folder: master file, database header and
// calendar, settings, then under the update lock the download and the merge. *reason
// (CP932) says why a run failed.
// TODAY_LATER: nothing was done, a later run may succeed (another program holds the update
// lock, the portal's rest window is open as the download command's check counts it, or the
// site did not answer at all).
enum TodayUpdateResult { TODAY_UPDATED = 0, TODAY_NO_DATABASE = 1, TODAY_FAILED = 2, TODAY_LATER = 3 };
TodayUpdateResult RunTodayUpdate(DownloadProgress* progress, std::string* reason);
