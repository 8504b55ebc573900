// Ichimoku chart: base and conversion lines, the two leading spans (shifted K - 1 bars
// ahead, forming the cloud) and the lagging span (shifted K - 1 bars back).
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int ICHIMOKU_LINES = 5;
// The longest base period: its leading spans end K - 1 bars after the last bar, which must
// stay inside the lines' value slots.
constexpr int ICHIMOKU_BASE_MAX = LINE_VALUE_COUNT - MAX_DATE + 1;

// The base period in use for a setting k: 1 ... ICHIMOKU_BASE_MAX (the chart's scroll range
// makes room for k - 1 bars of the cloud with the same value).
int IchimokuBasePeriod(int k);

// Writes base line, conversion line, leading span 1, leading span 2 and lagging span for the
// base period k and conversion period t into out[0 ... 4]; returns the number of lines.
// ashi gives the legends' unit word. Lines start where every bar they read has data, so a
// conversion period longer than the base period starts the lines later.
int CalcIchimoku(const DispSeries& ds, int ashi, int k, int t, IndicatorLine* out);
