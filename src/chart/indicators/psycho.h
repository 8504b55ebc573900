// Psychological line: the share of rising bars among the last N, unchanged bars counting
// neither way.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int PSYCHO_LINES = 1;

// Writes the psychological line of window n (below 1 counts as 1) into out[0] and returns
// the number of lines. ashi (1 daily, 2 weekly, 3 monthly) gives the legend's unit word.
int CalcPsycho(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
