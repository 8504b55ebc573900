// From indicator values to pane pixels. Every value is clipped to its pane, so a value
// beyond the scale never draws over the neighbouring pane, and a value that is not finite
// never becomes a coordinate.
#pragma once

#include "chart/indicator_line.h"

// y of a value on an indicator pane's 0 ... 100 scale: pane_bottom - trunc(v / (100 / pane_h)),
// 100 / pane_h being 1.0 when pane_h is 0. v is clipped to 0 ... 100; a value that is not
// finite gives the pane's bottom.
int IndicatorValueY(double v, int pane_bottom, int pane_h);

// The MACD scale m: the largest absolute value of the MACD line over its range, 1.0 when it
// is 0 (a flat price).
double MacdScaleMax(const IndicatorLine& macd);
// A value of the MACD pane on the 0 ... 100 scale: (v + m) / (2 m) * 100, clipped to
// 0 ... 100 (the histogram and signal can lie beyond the MACD line's largest value); a
// value that is not finite gives the middle.
double MacdPaneValue(double v, double m);
// y of the MACD pane's middle line (MACD = 0), on which the histogram bars stand.
int MacdMiddleY(int pane_bottom, int pane_h);

// Top of a deviation-rate bar standing on the pane's middle line mid_y: ±20 % fills half
// the pane; values beyond ±20 % are clipped there, and one that is not finite draws no bar.
int KairiBarTop(double v, int mid_y, int pane_h);

// The scale labels at scale value u (0 ... 100) of the deviation-rate pane (-20 ... 20) and
// of the MACD pane (-m ... m, m cut to a whole number).
int KairiScaleLabel(int u);
long long MacdScaleLabel(int u, double m);
