// The layout arithmetic of a chart paint, worked by hand.
#include "chart/chart_layout.h"

#include <gtest/gtest.h>

#include "chart_fixture.h"
#include "chart/disp_series.h"

namespace {

struct PaneCase {
  int w, hc, n, deki_view, ratio, spacing;
  int chart_w, h, pane_h, main_h, vol_h, price_bottom, n_disp_bar, half_body;
  bool volume_shown;
};

TEST(ChartLayout, PaneHeightsAndSlots) {
  const PaneCase cases[] = {
      // No indicator: the price and volume panes share the height, 20 % volume.
      {760, 500, 0, 1, 20, 12, 680, 500, 80, 500, 100, 364, 56, 3, true},
      // One pane: 603 / (0.8 + 5) x 0.8 = 83.17 -> 83 (truncating 603 / 5.8 first would
      // give 103 x 0.8 = 82.4 -> 82).
      {760, 613, 1, 1, 20, 8, 680, 603, 83, 520, 104, 380, 85, 3, true},
      // Two panes with the volume pane hidden: weight 1, 700 / (2 + 100 / 30) = 131.25.
      {1000, 710, 2, 0, 30, 4, 920, 700, 131, 438, 0, 402, 230, 1, false},
      // Two panes, volume kept (the setting's default): 700 x 0.8 / (1.6 + 100 / 30).
      {1000, 710, 2, 1, 30, 6, 920, 700, 113, 474, 142, 296, 153, 2, true},
      // Three panes at 50 %: 390 x 0.8 / (2.4 + 2) = 70.9.
      {80, 400, 3, 1, 50, 10, 0, 390, 70, 180, 90, 54, 0, 3, true},
      // Tiny windows: nothing negative, the price pane keeps its top.
      {1, 1, 0, 1, 20, 12, 0, 1, 0, 1, 0, 36, 0, 3, true},
      {80, 10, 1, 1, 20, 12, 0, 0, 0, 0, 0, 36, 0, 3, true},
  };
  for (const PaneCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.hc << " n=" << c.n << " R=" << c.ratio);
    ChartMetrics m;
    LayoutPanes(&m, c.w, c.hc, c.n, c.deki_view, c.ratio, c.spacing);
    EXPECT_EQ(m.ChartW, c.chart_w);
    EXPECT_EQ(m.H, c.h);
    if (c.n > 0) {
      EXPECT_EQ(m.PaneH, c.pane_h);
    }
    EXPECT_EQ(m.MainH, c.main_h);
    EXPECT_EQ(m.VolH, c.vol_h);
    EXPECT_EQ(m.PriceBottom, c.price_bottom);
    EXPECT_EQ(m.nDispBar, c.n_disp_bar);
    EXPECT_EQ(m.HalfBody, c.half_body);
    EXPECT_EQ(m.VolumeShown, c.volume_shown);
  }
}

TEST(ChartLayout, IndicatorPanesStackUpFromTheBottom) {
  ChartMetrics m;
  LayoutPanes(&m, 1000, 710, 2, 0, 30, 4);
  EXPECT_EQ(PaneBottom(m, 0), 700 - 131);
  EXPECT_EQ(PaneBottom(m, 1), 700);
}

struct BarCase {
  int scroll, first, last, series_last, base;
  int start, end, x0;
  bool has_bars;
};

TEST(ChartLayout, BarsShownAndTheirSlots) {
  const BarCase cases[] = {
      // The last bar stands in the rightmost of 56 slots of 12 pixels.
      {99, 0, 99, 99, 0, 44, 99, 0, true},
      // A stock that starts later: its first bar moves right so the last one stays right.
      {30, 10, 99, 99, 0, 10, 30, 12 * 35, true},
      // Days after the stock's end are shown (drawn flat).
      {99, 0, 80, 99, 0, 44, 99, 0, true},
      // Ichimoku: scrolled 25 bars beyond the end, the last bar ends there.
      {124, 0, 99, 99, 26, 69, 99, 0, true},
      // Ichimoku with the scroll position inside the data: base-period slots to the left.
      {80, 70, 99, 99, 26, 70, 80, 12 * (70 - 26 - 80 + 55), true},
      // No data at all, and a scroll position beyond the calendar.
      {99, 0, -1, 99, 0, 44, 99, 0, false},
      {150, 0, 99, 99, 0, 95, 99, 12 * 51, true},
  };
  for (const BarCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "scroll " << c.scroll << " first " << c.first << " base " << c.base);
    ChartMetrics m;
    LayoutPanes(&m, 760, 500, 0, 1, 20, 12);
    PlaceBars(&m, c.scroll, c.first, c.last, c.series_last, c.base);
    EXPECT_EQ(m.DispStart, c.start);
    EXPECT_EQ(m.DispEnd, c.end);
    EXPECT_EQ(m.BarX0, c.x0);
    EXPECT_EQ(m.HasBars, c.has_bars);
  }
}

TEST(ChartLayout, TooNarrowForOneBarShowsNone) {
  ChartMetrics m;
  LayoutPanes(&m, 85, 500, 0, 1, 20, 12);  // ChartW 5 < spacing
  PlaceBars(&m, 99, 0, 99, 99, 0);
  EXPECT_EQ(m.nDispBar, 0);
  EXPECT_FALSE(m.HasBars);
}

class ChartScales : public ChartTest {};

TEST_F(ChartScales, ExactScalesFromTheBarsShown) {
  auto ds = std::make_unique<DispSeries>();
  // Price pane 36 ... 364 holds 329 rows; a range of 658 gives 2 yen a pixel. The volume
  // pane (100 high) draws 84 pixels for the largest of volume and balances: 8400 -> 100.
  for (int i = 0; i < 100; ++i) {
    ds->open[i] = ds->close[i] = 1300;
    ds->high[i] = 1400;
    ds->low[i] = 1200;
    ds->deki[i] = 1000;
  }
  ds->high[60] = 1658;
  ds->low[70] = 1000;
  ds->margin_buy[80] = 8400;
  ds->high[10] = 9999;  // outside the bars shown
  ChartMetrics m;
  LayoutPanes(&m, 760, 500, 0, 1, 20, 12);
  PlaceBars(&m, 99, 0, 99, 99, 0);
  ComputeScales(&m, *ds, 7000, 0, false);
  EXPECT_EQ(m.MinLow, 1000);
  EXPECT_EQ(m.MaxHigh, 1658);
  EXPECT_EQ(m.MaxDeki, 8400);
  EXPECT_DOUBLE_EQ(m.PricePerDot, 2.0);
  EXPECT_DOUBLE_EQ(m.DekiPerDot, 100.0);
  EXPECT_EQ(PriceY(m, 1000), 364);
  EXPECT_EQ(PriceY(m, 1100), 314);
  EXPECT_EQ(PriceY(m, 1658), 35);
  EXPECT_EQ(DekiY(m, 5000), 480 - 50);

  // Scrolling with Ctrl held keeps the scales of the same stock; the lowest low is new.
  ds->low[70] = 1200;
  ComputeScales(&m, *ds, 7000, 0, true);
  EXPECT_DOUBLE_EQ(m.PricePerDot, 2.0);
  EXPECT_EQ(m.MinLow, 1200);
  // Another stock takes its own scales even with the keys held.
  ComputeScales(&m, *ds, 7001, 1, true);
  EXPECT_DOUBLE_EQ(m.PricePerDot, 458.0 / 329.0);
}

TEST_F(ChartScales, FlatRangeDrawsAtOnePerPixel) {
  auto ds = std::make_unique<DispSeries>();
  for (int i = 0; i < 10; ++i) ds->open[i] = ds->high[i] = ds->low[i] = ds->close[i] = 500;
  ChartMetrics m;
  LayoutPanes(&m, 760, 500, 0, 1, 20, 12);
  PlaceBars(&m, 9, 0, 9, 9, 0);
  ComputeScales(&m, *ds, 7003, 3, false);
  EXPECT_DOUBLE_EQ(m.PricePerDot, 1.0);
  EXPECT_DOUBLE_EQ(m.DekiPerDot, 1.0);  // no volume at all
  EXPECT_EQ(PriceY(m, 500), m.PriceBottom);
  EXPECT_TRUE(PrtHas("rt=0.0! code=7003"));
}

TEST_F(ChartScales, WithoutBarsNoRangeIsRead) {
  auto ds = std::make_unique<DispSeries>();
  ChartMetrics m;
  LayoutPanes(&m, 760, 500, 0, 1, 20, 12);
  PlaceBars(&m, 99, 0, -1, 99, 0);
  ComputeScales(&m, *ds, 7000, 0, false);
  EXPECT_EQ(m.MinLow, 0);
  EXPECT_EQ(m.MaxHigh, 0);
  EXPECT_DOUBLE_EQ(m.PricePerDot, 1.0);
  EXPECT_FALSE(PrtHas("rt=0.0!"));
}

TEST(ChartLayout, NiceStep) {
  const long long cases[][2] = {{0, 2},   {1, 2},    {2, 5},     {4, 5},     {5, 10},
                                {9, 10},  {10, 20},  {16, 20},   {33, 50},   {50, 100},
                                {123, 200}, {450, 500}, {999, 1000}, {250000000, 500000000}};
  for (auto& c : cases) EXPECT_EQ(NiceStep(c[0]), c[1]) << c[0];
}

}  // namespace
