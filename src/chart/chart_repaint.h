// Asking the chart window to paint again, from core code that changed what it shows.
#pragma once

// Marks the chart for a repaint; the chart window paints at its next turn.
void RequestChartRepaint();
// The chart window installs how it is told (nullptr removes it).
void SetChartRepaintNotifier(void (*notify)());
// Number of repaint requests so far (tests).
int ChartRepaintRequests();
