// Bollinger bands around the first moving average: centre ± j σ, σ being the sample
// deviation of the window's closes around the centre truncated to a whole number.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int BOLLINGER_LINES = 6;

// Writes the bands for the first average period `period` (the centre line is that average,
// drawn from FirstData + period) and the level bits `levels` (1 = ±1σ, 2 = ±2σ, 4 = ±3σ)
// into out, upper then lower for each level in rising order; returns the number of lines.
// A period below 1 has no centre line and gives no bands.
int CalcBollinger(const DispSeries& ds, int period, int levels, IndicatorLine* out);
