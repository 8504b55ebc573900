// The computing half of a chart paint: layout, display series, the line list and the
// scales, in the order the drawing needs them. The renderer (chart/ui) draws from the
// result; tests read it directly.
#pragma once

// Runs the paint's computing steps for a client of w x hc: the pane layout, the display
// series with the moving averages, the overlay and indicator lines, the bars shown and
// the scales (held when scale_hold and the stock is unchanged), the MACD scale and the
// volume averages. False when the bar period is outside 1 to 3 (no series).
bool PrepareChartPaint(int w, int hc, bool scale_hold);

// True while the line list starts with the Ichimoku lines (their leading span 1 is drawn
// only as the cloud's edge).
extern bool fIchimokuLines;
