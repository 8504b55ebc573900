// DMI: +DI and -DI from plain sums of the directional movements and true ranges of the
// last N bars, and ADX as the plain mean of the last N DX values.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int DMI_LINES = 3;

// Writes ADX, +DI and -DI of window n (below 1 counts as 1) into out[0 ... 2]; returns the
// number of lines. A window whose true ranges sum to 0 gives +DI = -DI = 0, and a DX with
// +DI + -DI = 0 is 0.
int CalcDMI(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
