// The screening data kept for every stock: the last 50 trading days in compact form, the
// valuation figures (PER, PBR, dividend yield) and a table of moving averages, kept
// between runs in "vurn_tmp.hy1" and refreshed whenever a stock's bars change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "db/price_model.h"

constexpr int PHT_DAYS = 50;       // window positions; position 49 is the last trading day
constexpr int PHT_LAST = PHT_DAYS - 1;
constexpr int LADDER_COUNT = 32;   // periods of the moving-average table
constexpr int PHT_FILE_VERSION = 7;
constexpr const char* PHT_FILE = "vurn_tmp.hy1";
// close5 and close25 are filled only from this many days on.
constexpr int PHT_LONG_MIN_DAYS = 1001;

// One stock's window (916 bytes, stored byte for byte in the file). Prices are packed;
// volume and margin balances are divided by the trading unit before packing.
struct Pht {
  uint16_t open[PHT_DAYS];
  uint16_t high[PHT_DAYS];
  uint16_t low[PHT_DAYS];
  uint16_t close[PHT_DAYS];
  uint16_t volume[PHT_DAYS];
  uint16_t margin_sell[PHT_DAYS];
  uint16_t margin_buy[PHT_DAYS];
  uint16_t close5[PHT_DAYS];   // every 5th day, ending 51 days before the last
  uint16_t close25[PHT_DAYS];  // every 25th day
  int32_t valid;               // 1 once computed with data in the window
  int32_t code;                // code of the bar record it was built from
  int32_t start;               // window position of the first data day (0 when earlier)
  int32_t end;                 // window position of the last data day (49: has the last day)
};
static_assert(sizeof(Pht) == 916);
static_assert(offsetof(Pht, close) == 300);
static_assert(offsetof(Pht, close25) == 800);
static_assert(offsetof(Pht, valid) == 900);
static_assert(offsetof(Pht, end) == 912);

// PER, PBR and dividend yield (percent) from the latest close; all 0 without a close on
// the last trading day.
struct PhtValue {
  double per;
  double pbr;
  double yield;
};
static_assert(sizeof(PhtValue) == 24);

enum AshiTimeframe { MA_DAILY = 0, MA_WEEKLY = 1, MA_MONTHLY = 2 };

extern Pht pht[MAX_KABU];
extern PhtValue pht_value[MAX_KABU];
// The moving average of the last PeriodLadder[j] closes of a timeframe, packed.
extern uint16_t MoveAveTable[3][MAX_KABU][LADDER_COUNT];
extern int PeriodLadder[LADDER_COUNT];
// Set when the data differ from the file; cleared by the save.
extern int fPhtChanged;

// The file layout.
constexpr int64_t PHT_FILE_PHT_OFFSET = 12;
constexpr int64_t PHT_FILE_VALUE_OFFSET = PHT_FILE_PHT_OFFSET + int64_t{sizeof(Pht)} * MAX_KABU;
constexpr int64_t PHT_FILE_MA_OFFSET = PHT_FILE_VALUE_OFFSET + int64_t{sizeof(PhtValue)} * MAX_KABU;
constexpr int64_t PHT_FILE_SIZE = PHT_FILE_MA_OFFSET + 2LL * 3 * MAX_KABU * LADDER_COUNT;
static_assert(PHT_FILE_VALUE_OFFSET == 7503884);
static_assert(PHT_FILE_MA_OFFSET == 7700492);
static_assert(PHT_FILE_SIZE == 9273356);

// Fills PeriodLadder: 1, 2, ... each the previous plus a fifth of it (at least 1).
void MakePeriodLadder();

// Builds one stock's window, valuation figures and moving averages from its bars (a
// record of the caller, never the chart's work record) and marks the data changed.
void BuildPht(int stock_num, const Hiashi& h);
// Reads the stock's record into the module's own buffer and rebuilds it (after a
// back-fill or a deletion changed its bars). False when the record cannot be read.
bool RefreshPhtStock(int stock_num);
// Rebuilds every stock from the database (after a merge shifted the window of all).
// show_wait: behind the wait dialog. Returns the number of records that could not be read.
int RebuildAllPht(bool show_wait);

// After a day was merged (and its repairs ran): the new day moves every stock's window, so
// every stock is rebuilt from the database, not only those the day file held; then the
// file is written. For the merge's "a record was merged" notification.
void RefreshScreeningAfterMerge();

// Marks the data changed and removes the stale file (a record changed underneath).
void MarkPhtChanged();

// At start-up: the ladder, then the file when it is current, else a full rebuild behind
// the wait dialog; then every window's start and end are checked.
void ScreeningBuildAll();
// Loads the file; false (with a diagnostic line) when it is missing, short, of another
// version, date or sample flag. Slots whose code differs from the stock table are rebuilt.
bool LoadPhtFile();
// Writes the file (temporary file, flush, rename) and clears the change mark.
bool SavePhtFile();
// Saves at exit when the data changed.
void SavePhtIfChanged();
// The stock's latest close from its window (close[49]), 0 without one.
int32_t PhtLatestClose(int stock_num);

// Counts the changes of the screening data (the top-N rankings are rebuilt when it moved).
extern unsigned PhtGeneration;
