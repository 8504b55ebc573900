// Parabolic stop and reverse: one dot per bar, acceleration from 0.02 in steps of 0.02 up
// to 0.2, starting as a rising trend from the first bar's low.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int PARABOLIC_LINES = 1;

// Writes the parabolic dots from FirstData to DispEnd into out[0]; returns the number of
// lines. On a reversal bar the dot stands at the extreme of the trend that ended.
int CalcParabolic(const DispSeries& ds, IndicatorLine* out);
