// Building the regular database from the web while the sample database is in use
// ("正規のデータベース作成"): vurn.hy3 is written with an empty record for every stock of the
// master file, the program leaves the sample mode, and the back-fill fetches about 60 trading
// days of every stock in its building mode (fDbMake: no questions, a stop at an access
// restriction, no history pages for Nagoya listings). Older history comes later from the
// back-fill command.
#pragma once

#include <cstdint>

struct DownloadProgress;

// The dialog's texts before and during the run, and the wait dialog's during the preparation.
extern const char* const kDbMakeAskText;
extern const char* const kDbMakeRunText;

// The per-stock progress of the build's run: the bar at the stock number (at least 100), the
// time since start and the time left; 1 when the run must stop (Cancel was asked).
int DbMakeProgress(int stock_num, int64_t start);

// The build after OK: the preparation (cannot be interrupted), then the run (Cancel stops it
// between stocks), then the completion message, shown also after a stop. Returns 1 when the
// regular database was made (the sample mode is then left for good), 0 when the preparation
// failed (reported; no vurn.hy3 and the sample mode as before).
int BuildRegularDatabase(DownloadProgress* progress);

// The feature of command 40133: the dialog when installed, else the build without a display.
void BuildRegularDatabaseCommand();
