// The computing half of a chart paint: the steps before the drawing, then layout,
// display series, the line list and the scales, in the order the drawing needs them. The
// renderer (chart/ui) draws from the result; tests read it directly.
#pragma once

#include "platform/notice_list.h"

// The steps at the start of every paint of the chart window: tells "the shown stock
// changed" when the stock differs from the previous paint, selects the bar-period box
// when the period differs, sets each period's spacing from its table entry, and notes
// that the trend line is gone. False for a bar period outside 1 to 3 (only from a damaged
// settings file): that paints an empty chart, and writes "old PaintScreen()!".
bool BeginChartPaint();
// After the chart was drawn: tells ChartPainted.
void EndChartPaint();
// "The chart was painted": the point-and-figure and comparison windows join it to follow
// the chart's stock and period.
extern NoticeList<> ChartPainted;
// Forgets the previous paint's stock and period (tests).
void ResetChartPaintSteps();

// Runs the paint's computing steps for a client of w x hc: the pane layout, the display
// series with the moving averages, the overlay and indicator lines, the bars shown and
// the scales (held when scale_hold and the stock is unchanged), the MACD scale and the
// volume averages. False when the bar period is outside 1 to 3 (no series).
bool PrepareChartPaint(int w, int hc, bool scale_hold);
