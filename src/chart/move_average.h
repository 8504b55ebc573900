// The simple moving averages of the closes and of the volumes over a display series.
#pragma once

#include "chart/disp_series.h"

// Fills buf (MAX_DATE slots) from FirstData to DispEnd: the bars of the first window hold
// the average of the bars so far, the first full window's average is truncated to a whole
// number, later bars hold the plain average. Other slots get NO_VALUE. A period below 1
// computes nothing and returns false (such an average draws no line).
bool CalcMoveAve(const DispSeries& ds, int period, double* buf);
// The same over the volumes.
bool CalcDekiMoveAve(const DispSeries& ds, int period, double* buf);
