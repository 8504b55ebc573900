// The display series: one stock's bars of the current bar period (daily, weekly or
// monthly), unpacked, which every chart paint rebuilds and from which the indicators and
// overlays are computed.
#pragma once

#include <cstdint>

#include "db/price_model.h"

struct DispSeries {
  // Indexed by bar index (day, week or month index); bars outside the stock's data are 0.
  int32_t open[MAX_DATE];
  int32_t high[MAX_DATE];
  int32_t low[MAX_DATE];
  int32_t close[MAX_DATE];
  int32_t deki[MAX_DATE];         // volume in trading units
  int32_t margin_sell[MAX_DATE];  // margin balances in trading units
  int32_t margin_buy[MAX_DATE];
  int32_t DispStart;  // first bar shown
  int32_t DispEnd;    // last bar with data shown
  int32_t FirstData;  // the stock's first and last bar with data in this period
  int32_t LastData;
};
