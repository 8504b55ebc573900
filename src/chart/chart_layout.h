// The layout of a chart paint: pane heights, bar slots and the vertical scales, derived
// from the window size and the view state. Every paint computes it and leaves it for the
// cross cursor, the value tip and the tool windows to read.
#pragma once

#include "chart/disp_series.h"

// The price pane's top edge.
constexpr int PRICE_TOP = 36;
// Pixels to the right of the plotting area that carry the price labels.
constexpr int LABEL_AREA_W = 80;

struct ChartMetrics {
  int W, Hc;          // client size
  int H;              // height down to the last indicator pane's bottom
  int nPanes;         // indicator panes shown
  bool VolumeShown;   // the volume pane is shown
  int ChartW;         // plotting area x = 0 ... ChartW
  int MainH;          // price pane, date row and volume pane together
  int PaneH;          // one indicator pane
  int VolH;           // volume pane, 0 when hidden
  int PriceBottom;    // bottom of the price pane (its top is PRICE_TOP)
  int Spacing;        // pixels from one bar to the next
  int nDispBar;       // bar slots across the price pane
  int DispStart, DispEnd;  // first and last bar shown
  int FirstData, LastData; // the stock's first and last bar with data in this period
  int BarX0;          // x of the left edge of bar DispStart's slot
  int HalfBody;       // half body width of a candle
  bool HasBars;       // at least one bar with data is in view; the scales below are set
  int MinLow, MaxHigh;   // lowest low and highest high of the bars shown
  int MaxDeki;           // largest volume or margin balance shown (trading units)
  double PricePerDot, DekiPerDot;
  double MacdMax;        // m of the MACD pane (1.0 without one)
};

// The layout of the last paint.
extern ChartMetrics Metrics;

// The first part of the layout: pane heights, plotting width and bar slots for a client of
// w x hc with n indicator panes, the volume-with-indicators setting, the volume share in
// per cent and the spacing. The pane height is the truncation of the whole product
// H / (n w + 100 / R) x w, computed exactly in integers.
void LayoutPanes(ChartMetrics* m, int w, int hc, int n, int deki_view, int ratio, int spacing);
// Bottom y of indicator pane j (0 = top).
int PaneBottom(const ChartMetrics& m, int j);
// Bar shown positions from the period's scroll position, the
// series' data range and the cloud's lead (0 without Ichimoku); sets DispStart, DispEnd,
// BarX0 and HasBars. series_last is the series' last bar index (the calendar's end).
void PlaceBars(ChartMetrics* m, int scroll_pos, int first, int last, int series_last,
               int ichimoku_base);
// Left x of bar i's slot and its centre.
inline int SlotX(const ChartMetrics& m, int i) { return m.BarX0 + (i - m.DispStart) * m.Spacing; }
inline int CentreX(const ChartMetrics& m, int i) { return SlotX(m, i) + m.Spacing / 2; }
// Extremes of the bars shown and the two scales. With hold the previous
// scales are used for the same stock (Ctrl held while scrolling by key). A flat range
// draws at one price unit per pixel and writes "rt=0.0!". Without bars the scales are
// 1.0 and the extremes 0.
void ComputeScales(ChartMetrics* m, const DispSeries& ds, int stock_code, int stock_num, bool hold);
// Forgets the held scales (tests).
void ResetScaleHold();

// y of a price and of a volume; values far outside the window are clipped, never
// overflow.
int PriceY(const ChartMetrics& m, double v);
int DekiY(const ChartMetrics& m, double v);
// y of a value on an indicator pane's 0 ... 100 scale.
int PaneValueY(const ChartMetrics& m, double v, int pane_bottom);

// The grid step for a quotient c: with c reduced to its leading digit by k divisions by
// 10, 10 x 10^k for a digit of 5 or more, 5 x 10^k for 2 to 4, else 2 x 10^k.
long long NiceStep(long long c);
