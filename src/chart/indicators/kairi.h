// Deviation rate (乖離率): the close's distance from its simple moving average, in percent
// of the average. The pane shows it as bars around its middle line, ±20 % filling half.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int KAIRI_LINES = 1;

// Writes the deviation rate from the n-bar average (n: the setting of the current bar
// period; below 1 counts as 1) into out[0]; returns the number of lines. The first value
// stands at the first full window, whose average is a whole number.
int CalcKairi(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
