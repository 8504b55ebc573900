// RCI: the rank correlation between the order of the closes and the order of the dates,
// moved to 0 ... 100 (a steady rise gives 100, a steady fall 0).
#pragma once

#include <cstdint>

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int RCI_LINES = 2;

// Writes the short and the long RCI line (windows below 2 count as 2) into out[0] and
// out[1] and returns the number of lines.
int CalcRCI(const DispSeries& ds, int ashi, int short_n, int long_n, IndicatorLine* out);

// The RCI value of the window close[0 ... n-1] (oldest first), ranking the closes as a
// selection sort does that swaps the first largest close of the rest into each place;
// ties end where that sort leaves them. n >= 2.
double RciOfWindow(const int32_t* close, int n);
