// RSI: the average rise in percent of the average rise plus the average fall, over plain
// sums of the last N changes.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int RSI_LINES = 1;

// Writes the RSI of window n (below 1 counts as 1) into out[0]; returns the number of lines.
int CalcRSI(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
