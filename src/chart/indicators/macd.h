// MACD: the difference of two exponential averages of the close (each seeded with the
// plain mean of its first window), its signal as the plain mean of the last g MACD values,
// and the histogram MACD - signal.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int MACD_LINES = 3;

// Writes the MACD lines for the short average a, long average b and signal window g (each
// below 1 counts as 1) into out and returns their number: histogram, MACD, signal when
// with_hist is set (the bars are drawn first), else MACD and signal. The MACD starts where
// both averages are defined, so a short period longer than the long one starts later.
int CalcMACD(const DispSeries& ds, int ashi, int a, int b, int g, bool with_hist,
             IndicatorLine* out);
