// Volume ratio (the modified form): the volume of rising bars plus half the volume of
// unchanged bars, in percent of all volume of the last N bars.
#pragma once

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

constexpr int VR_LINES = 1;

// Writes the volume ratio of window n (below 1 counts as 1) into out[0]; returns the
// number of lines.
int CalcVR(const DispSeries& ds, int ashi, int n, IndicatorLine* out);
