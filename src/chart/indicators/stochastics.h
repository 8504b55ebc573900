// Stochastics: %K of the last N bars, %D as the ratio of three-bar sums of %K's numerator
// and denominator, and slow %D as the mean of three %D values.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int STOC_LINES = 3;

// Writes %K, %D and slow %D of window n (below 1 counts as 1) into out[0 ... 2]; returns
// the number of lines. Each line starts where every bar its windows reach has data, so %D
// starts two bars and slow %D four bars after the stock's first full %K window.
int CalcStoc(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
