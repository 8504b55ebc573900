// The display series of the daily, weekly and monthly chart and its moving-average lines.
#include "chart/chart_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "chart/chart_paint.h"
#include "chart/chart_view.h"
#include "chart/indicator_line.h"
#include "chart_fixture.h"

namespace {

class ChartSeriesTest : public ChartTest {};

TEST_F(ChartSeriesTest, DailyBarsInTradingUnitsAndFlatAfterTheLastDay) {
  World(10, 1);
  Hiashi* h = Show(0, 2, 6, FLAG_MARGIN);
  for (int d = 2; d <= 6; ++d) Bar(h, d, 100 + d, 110 + d, 90 + d, 105 + d, 123400, 5000, 7000);
  h->margin_buy[8] = Value_to_Packed(9000);  // balances are unpacked after the end too
  ScrollPos[0] = 9;
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  const DispSeries& ds = ChartSeries;
  EXPECT_EQ(ds.FirstData, 2);
  EXPECT_EQ(ds.LastData, 6);
  EXPECT_EQ(ds.DispStart, 2);
  EXPECT_EQ(ds.DispEnd, 9);
  EXPECT_EQ(ds.close[1], 0);
  EXPECT_EQ(ds.open[2], 102);
  EXPECT_EQ(ds.high[6], 116);
  EXPECT_EQ(ds.deki[3], 1234);  // 123400 shares / 100
  EXPECT_EQ(ds.margin_sell[3], 50);
  for (int d = 7; d <= 9; ++d) {
    SCOPED_TRACE(d);
    EXPECT_EQ(ds.open[d], 111);
    EXPECT_EQ(ds.high[d], 111);
    EXPECT_EQ(ds.low[d], 111);
    EXPECT_EQ(ds.close[d], 111);
    EXPECT_EQ(ds.deki[d], 0);
  }
  EXPECT_EQ(ds.margin_buy[8], 90);
  EXPECT_EQ(ChartRecordFlag & FLAG_MARGIN, FLAG_MARGIN);
  // The extremes include the flat days.
  EXPECT_EQ(Metrics.MinLow, 92);
  EXPECT_EQ(Metrics.MaxHigh, 116);
}

TEST_F(ChartSeriesTest, MovingAveragesStartAfterTheirFirstWindow) {
  World(40, 1);
  Hiashi* h = Show(0, 10, 39);
  for (int d = 10; d <= 39; ++d) Bar(h, d, 1000, 1010, 990, 1000 + 2 * (d - 10), 100 * (d - 9));
  DayMoveAve[0] = 5;
  DayMoveAve[1] = 10;
  DayMoveAveThird[0] = 20;
  DayMoveAveThird[1] = 1;
  DekiMoveAve = 1;
  ScrollPos[0] = 39;
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  ASSERT_EQ(nMoveAveLine, 3);
  ASSERT_EQ(nChartLine, 4);  // three averages and one volume average
  const IndicatorLine& a5 = ChartLines[0];
  // The 5-bar average's first drawn point is the stock's 6th bar: (1002 + ... + 1010) / 5.
  EXPECT_EQ(a5.from, 15);
  EXPECT_EQ(a5.to, 39);
  EXPECT_DOUBLE_EQ(a5.value[15], (1002 + 1004 + 1006 + 1008 + 1010) / 5.0);
  EXPECT_TRUE(IsNoValue(a5.value[14]));
  EXPECT_STREQ(a5.label, "  5日平均");
  EXPECT_STREQ(a5.short_label, "5日平");
  EXPECT_STREQ(a5.colour, "Clr_AvgShort");
  EXPECT_EQ(ChartLinePlace[0].x, 760 - 76);
  EXPECT_EQ(ChartLinePlace[2].y, 20 + 30);
  EXPECT_STREQ(ChartLines[2].colour, "Clr_AvgLong");
  // The 5-bar volume average starts at the 5th bar, where it is a whole number.
  const IndicatorLine& v5 = ChartLines[3];
  EXPECT_EQ(v5.flags, LINE_VOLUME);
  EXPECT_EQ(v5.from, 14);
  EXPECT_DOUBLE_EQ(v5.value[14], (1 + 2 + 3 + 4 + 5) / 5);
  EXPECT_STREQ(v5.short_label, "5日出平");
  EXPECT_STREQ(v5.label, "");
}

TEST_F(ChartSeriesTest, WeeklyAndMonthlyBars) {
  World(60, 1);
  Hiashi* h = Show(0, 0, 59);
  for (int d = 0; d <= 59; ++d) Bar(h, d, 500, 510 + d, 490, 505, 1000);
  AshiFlag = 2;
  ScrollPos[1] = CalendarLastBar(2);
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  EXPECT_EQ(ChartSeries.FirstData, shuashi.start);
  EXPECT_EQ(ChartSeries.LastData, shuashi.end);
  const int w = shuashi.end;
  EXPECT_EQ(ChartSeries.high[w], shuashi.bar[w].high);
  EXPECT_EQ(ChartSeries.deki[w], shuashi.bar[w].deki / 100);
  EXPECT_STREQ(ChartLines[0].label, " 13週平均");

  AshiFlag = 3;
  ScrollPos[2] = CalendarLastBar(3);
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  const int m = tsukiashi.last_month;
  EXPECT_EQ(ChartSeries.LastData, m);
  EXPECT_EQ(ChartSeries.close[m], 505);
  EXPECT_EQ(ChartSeries.deki[m], static_cast<int>(tsukiashi.deki_sum[m] / 100));
  EXPECT_STREQ(ChartLines[1].short_label, "26月平");
}

TEST_F(ChartSeriesTest, WeekWithoutTradeStaysAtThePreviousClose) {
  World(30, 1);
  Hiashi* h = Show(0, 0, 29);
  for (int d = 0; d <= 29; ++d) Bar(h, d, 500, 510, 490, 500 + d, 1000);
  AshiFlag = 2;
  BuildShuashi(0);
  const int w = shuashi.start + 2;
  shuashi.bar[w].low = 0;  // a week in which the stock did not trade
  ScrollPos[1] = CalendarLastBar(2);
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  EXPECT_EQ(ChartSeries.open[w], ChartSeries.close[w - 1]);
  EXPECT_EQ(ChartSeries.low[w], ChartSeries.close[w - 1]);
  EXPECT_EQ(ChartSeries.deki[w], 0);
}

TEST_F(ChartSeriesTest, StockWithoutPricesShowsNoBars) {
  World(20, 1);
  Show(0, 0, 0, FLAG_NO_PRICES);
  ScrollPos[0] = 19;
  ASSERT_TRUE(PrepareChartPaint(760, 500, false));
  EXPECT_FALSE(Metrics.HasBars);
  EXPECT_LT(ChartSeries.DispEnd, ChartSeries.DispStart);
  EXPECT_EQ(ChartLines[0].from, 0);
  EXPECT_EQ(ChartLines[0].to, -1);
  EXPECT_DOUBLE_EQ(Metrics.PricePerDot, 1.0);
}

TEST_F(ChartSeriesTest, BarPeriodOutsideTheRangeBuildsNothing) {
  World(20, 1);
  Show(0, 0, 19);
  AshiFlag = 4;
  EXPECT_FALSE(BuildDispSeries());
  EXPECT_TRUE(PrtHas("AshiFlag Error1"));
  EXPECT_EQ(nChartLine, 0);
}

TEST_F(ChartSeriesTest, AverageTermsAndColours) {
  const int expected[3][3] = {{15, 39, 150}, {13, 26, 70}, {13, 26, 52}};
  for (int a = 1; a <= 3; ++a)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(GetMoveAveTerm(a, k), expected[a - 1][k]) << a << "," << k;
  EXPECT_EQ(MoveAveColour(0), Clr_AvgShort);
  EXPECT_EQ(MoveAveColour(2), Clr_AvgLong);
  EXPECT_EQ(ChartColourByName("Clr_Rsi"), Clr_Rsi);
  EXPECT_EQ(ChartColourByName("nonsense"), Clr_ChartMoji);
}

}  // namespace

namespace {

// A base period above 101 is computed as set on every bar period; only the spans' lead is
// cut where the line slots end (daily bars over a full calendar).
TEST_F(ChartSeriesTest, IchimokuBasePeriodAsSetOnEveryBarPeriod) {
  World(MAX_DATE, 1);
  Hiashi* h = Show(0, 0, MAX_DATE - 1);
  for (int d = 0; d < MAX_DATE; ++d) Bar(h, d, 500, 510 + d % 300, 490 - d % 170, 505, 1000);
  fViewIchimoku = 1;
  for (int k : {120, SHIHYO_WINDOW_MAX}) {
    Ichimoku[0] = k;
    for (int ashi : {1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "K " << k << " period " << ashi);
      SetAshi(ashi);  // scrolled to the calendar's end and the cloud's room
      EXPECT_EQ(ScrollPos[ashi - 1], CalendarLastBar(ashi) + k - 1);
      ASSERT_TRUE(PrepareChartPaint(80 + 12 * 1200, 500, false));
      const DispSeries& ds = ChartSeries;
      const IndicatorLine* base = FindLine(ChartLines, nChartLine, LineKind::IchimokuBase);
      ASSERT_NE(base, nullptr);
      EXPECT_EQ(base->label, std::string("基準線") + std::to_string(k) + AshiUnitWord(ashi));
      if (ds.LastData - ds.FirstData + 1 < k) {
        EXPECT_GT(base->from, base->to);
        continue;
      }
      EXPECT_EQ(base->from, ds.FirstData + k);
      const int i = ds.LastData;
      int hi = ds.high[i], lo = ds.low[i];
      for (int j = i - k + 1; j <= i; ++j) hi = std::max(hi, ds.high[j]), lo = std::min(lo, ds.low[j]);
      EXPECT_EQ(base->value[i], (hi + lo) / 2.0);
      const IndicatorLine* span2 = FindLine(ChartLines, nChartLine, LineKind::IchimokuSpan2);
      EXPECT_LE(span2->to, LINE_VALUE_COUNT - 1);
      if (span2->from <= span2->to) {
        EXPECT_EQ(span2->to, std::min(i + k - 1, LINE_VALUE_COUNT - 1));
      }
    }
  }
  SetAshi(1);
}

}  // namespace
