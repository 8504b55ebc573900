// Today's prices: the latest trading day of every stock marked for the daily download
// (flag 0x100), from the chart interface and the portal's quote pages, written to the day
// file "data/yYYMMDD.txt" that the merge reads. The run is plain core code; the dialog of
// the program and the data tool drive it through DownloadProgress.
#pragma once

#include <cstdint>
#include "platform/hooks.h"

#include "db/price_model.h"
#include "net/download_progress.h"

// One stock's day; code 0 means the entry is empty. Prices are whole yen or index points,
// hundredths for the series in hundredths; the volume is in shares.
struct WebDayEntry {
  int32_t start;
  int32_t max;
  int32_t min;
  int32_t end;
  uint32_t deki;
  char name[32];
  int32_t code;
};
constexpr int WEB_DAY_TABLE_SIZE = MAX_KABU + 300;
extern WebDayEntry WebDayTable[WEB_DAY_TABLE_SIZE];

// The trading date of the portal's prices (yyyymmdd, 0 until the probe found it) and the
// time of its last price (hhmm).
extern int32_t WebDate;
extern int32_t WebTime;
// The path of the day file the last run wrote (empty when none): the merge takes it from here.
extern char WebDayFileName[512];
// Set by the timed download around command 40082: the run asks nothing and shows no box.
extern int fTimedDownload;

// Fewer filled entries than this abort the run without a day file.
constexpr int TODAY_MIN_FILLED = 3395;

// What the run shows while it works (net/download_progress.h): the trading date as the text
// line ("2026年12月10日"), the bar and the times in the dialog's own controls, or the data
// tool's lines. CancelRequested is asked before each stock and lets pending events run.

// Empties every entry of the table.
void ClearWebDayTable();
// Fills stock_num's entry unless it already holds a larger or equal volume. Entries whose
// four prices are all 0 (a page that gave no prices) and values beyond the entry's range
// are refused. Returns 1 when the entry was filled.
int StoreWebDay(int stock_num, int64_t start, int64_t max, int64_t min, int64_t end, int64_t deki);
// Fetches and parses stock_num's quote page: mode 1 is the date probe (2 on success, with
// WebDate and WebTime set), mode 0 stores the stock's prices (1 when the entry was filled).
int GetQuotePage(int stock_num, int mode);
// The per-stock run: 1 when every stock was processed, 0 when it failed or was cancelled
// (TodayDownloadFailure says why).
int DownloadToday(DownloadProgress* progress);
// Entries with a code.
int CountWebDayFilled();
// Entries 0 and 1 (the Nikkei average and TOPIX) get the First Section's total volume in
// units of ten thousand shares.
void SetIndexVolumes();
// Writes the day file of WebDate from the table into the folder "data" (created when
// missing), replacing any file of that name safely. 1 when written, 0 on failure (box
// unless the timed download runs).
int WriteWebDayFile();
// The Download button's work: DownloadToday, the rule of TODAY_MIN_FILLED, the index
// volumes and the day file. 1 when the day file was written, else 0 (with the design's box
// unless the timed download runs).
int RunTodayDownload(DownloadProgress* progress);
// Its second half, after a complete run: the rule, the index volumes and the day file.
int FinishTodayDownload();
// Why the last run gave 0 (CP932, empty after success).
const char* TodayDownloadFailure();
// True when the last run's date probe got no answer at all (no network, the site down): a
// later run may succeed.
bool TodayDownloadUnreachable();

// The dialog is reached through TodayDownloadDialog (platform/hooks.h).
