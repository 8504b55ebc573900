// Ichimoku chart: base and conversion lines, the two leading spans (shifted K - 1 bars
// ahead, forming the cloud) and the lagging span (shifted K - 1 bars back).
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int ICHIMOKU_LINES = 5;

// The base period in use for a setting k: at least 1, and no longer than the longest
// series (a longer one draws nothing either). The chart's scroll range and bar placement
// make room for k - 1 bars of the cloud with the same value.
int IchimokuBasePeriod(int k);

// Writes base line, conversion line, leading span 1, leading span 2 and lagging span for the
// base period k and conversion period t into out[0 ... 4]; returns the number of lines.
// ashi gives the legends' unit word. Each line starts where every bar it reads has data:
// the base line and span 2 read only the base period's windows, the conversion line and
// span 1 also the conversion period's. The spans' lead is cut where the value slots end
// (only a long base period on daily bars reaches that far).
int CalcIchimoku(const DispSeries& ds, int ashi, int k, int t, IndicatorLine* out);
