// Weekly and monthly bars, built on demand from one stock's daily record into two shared
// series indexed by the calendar-wide week and month numbers, with a one-stock cache.
#pragma once

#include <cstdint>

#include "db/price_model.h"
#include "db/trading_calendar.h"

// One week of a stock: the real date of its first trading day in that week, the prices,
// the volume total, the margin balances of the week's last day and the number of days.
struct ShuashiBar {
  int32_t date;
  int32_t open, high, low, close;
  int32_t deki;
  int32_t margin_sell, margin_buy;
  uint8_t days;
};

struct Shuashi {
  char name[32];
  int32_t code;
  int32_t start;  // week number of the stock's first week
  int32_t end;    // week number of its last week; start > end for a stock without prices
  ShuashiBar bar[WEEK_MAX];  // by week number, zero outside start .. end
};

// Monthly bars by month number, zero outside first_month .. last_month. The margin
// balances are the month's averages (truncated), the volumes its totals.
struct Tsukiashi {
  int16_t first_month;
  int16_t last_month;  // first_month > last_month for a stock without prices
  int32_t open[MONTH_MAX], high[MONTH_MAX], low[MONTH_MAX], close[MONTH_MAX];
  int32_t deki[MONTH_MAX];
  double deki_sum[MONTH_MAX];
  int32_t margin_sell[MONTH_MAX], margin_buy[MONTH_MAX];
};

extern Shuashi shuashi;
extern Tsukiashi tsukiashi;
// Stock number each series was last built for; -1 initially and after ResetAshiCache.
extern int ShuashiStock;
extern int TsukiashiStock;

// Builds the weekly series of a stock unless it was last built for that stock (and the
// calendar is unchanged); returns the number of its last week. The record is the work
// record when that holds the stock, otherwise it is loaded into the work record.
int BuildShuashi(int stock_num);
// The same for the monthly series.
void BuildTsukiashi(int stock_num);
// Makes the next build calls rebuild (after a stock's record or the calendar changed).
void ResetAshiCache();

// Builds from a given record into out, leaving the cache and the work record alone (for
// batch work). out must be zero outside its own start .. end, as a zero-initialised or
// previously built series is. Returns out.end.
int MakeShuashi(const Hiashi& h, Shuashi& out);
void MakeTsukiashi(const Hiashi& h, Tsukiashi& out);
