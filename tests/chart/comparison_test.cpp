// The comparison chart's computations: percentages, the log scale and its grid, the three
// date axes, and slots read without touching the chart's record, series or line list.
#include "chart/comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/shown_stock.h"
#include "chart/chart_view.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Labels(const std::vector<CompareDateMark>& marks) {
  std::vector<std::string> out;
  for (const auto& m : marks)
    if (m.label) out.push_back(m.text);
  return out;
}

TEST(Comparison, PercentagesOfTheFirstCloseWithGapsForBarsWithoutData) {
  const std::vector<double> v = ComparePercents({0, 200, 210, 0, 190});
  ASSERT_EQ(v.size(), 5u);
  EXPECT_FALSE(CompareHasValue(v[0]));
  EXPECT_DOUBLE_EQ(v[1], 100.0);
  EXPECT_DOUBLE_EQ(v[2], 105.0);
  EXPECT_FALSE(CompareHasValue(v[3]));
  EXPECT_DOUBLE_EQ(v[4], 95.0);
  for (double x : ComparePercents({0, 0})) EXPECT_FALSE(CompareHasValue(x));
}

TEST(Comparison, LogScaleAndPercentageGrid) {
  // Values from 95 % to 105 %: top 112.35, bottom 88.35; the levels run 90, 100, 150, so
  // the lines inside are 90 and 100.
  const CompareScale s = MakeCompareScale(95, 105, 20, 522, 440);
  EXPECT_DOUBLE_EQ(s.top, 112.35);
  EXPECT_DOUBLE_EQ(s.bottom, 88.35);
  EXPECT_EQ(s.plotH, 400);
  EXPECT_DOUBLE_EQ(s.xstep, 20.0);
  EXPECT_EQ(CompareX(s, 3), 100);
  EXPECT_EQ(CompareY(s, s.top), 10);
  EXPECT_EQ(CompareY(s, s.bottom), 410);
  // y(100) = trunc(ln(112.35 / 100) / ln(112.35 / 88.35) x 400) + 10.
  EXPECT_EQ(CompareY(s, 100), static_cast<int>(std::log(1.1235) / std::log(112.35 / 88.35) * 400) + 10);
  std::vector<int> levels;
  for (const CompareGridLine& g : CompareGrid(s)) {
    levels.push_back(g.level);
    EXPECT_EQ(g.solid, g.level == 100);
    EXPECT_TRUE(g.label);
  }
  EXPECT_EQ(levels, (std::vector<int>{90, 100}));
  // From 88 % to 112 % on a 50-pixel plot: 80 at the bottom, 90 within 20 pixels of it
  // (no label), the 100 % label always, 150 above the frame.
  const std::vector<CompareGridLine> small = CompareGrid(MakeCompareScale(80, 112, 20, 522, 90));
  ASSERT_EQ(small.size(), 3u);
  EXPECT_EQ(small[0].level, 80);
  EXPECT_TRUE(small[0].label);
  EXPECT_LE(small[0].y - small[1].y, 20);
  EXPECT_FALSE(small[1].label);
  EXPECT_TRUE(small[2].label);
  EXPECT_EQ(small[2].level, 100);

  // The grid's steps.
  std::vector<int> steps;
  for (int l = 0; steps.size() < 24; l = NextCompareLevel(l)) steps.push_back(l);
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 4, 5, 10, 15, 20, 30, 40, 50, 60, 70, 80, 90, 100, 150, 200,
                                     300, 400, 500, 600, 700}));
  EXPECT_EQ(NextCompareLevel(5000), 7000);
  EXPECT_EQ(NextCompareLevel(9000), 11000);
  EXPECT_EQ(NextCompareLevel(11000), 21000);
}

class ComparisonData : public ::testing::Test {
 protected:
  void Load(int days) {
    ResetDatabaseState();
    WriteFixtureDatabase(3, days);
    ASSERT_NE(LoadTag(), 0);
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    ASSERT_EQ(VURN_file_in(-1, 1), 1);
  }
  void SetUp() override { ClearPrtHistory(); }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir_;
  ScriptedHost host_;
};

TEST_F(ComparisonData, DateAxesOfTheThreeBarPeriods) {
  Load(300);  // weekdays from October 2025 to 9 December 2026
  // Daily: a label and a line at each new month.
  const int from = LastDate - 60, to = LastDate - 1;
  const CompareScale d = MakeCompareScale(95, 105, to - from, 800, 400);
  const std::vector<CompareDateMark> daily = CompareDateAxis(1, from, to, d);
  EXPECT_EQ(Labels(daily), (std::vector<std::string>{"26/10", "26/11", "26/12"}));
  for (const CompareDateMark& m : daily) {
    int k = 0;
    while (nikkei_date[from + k] / 100 % 100 != std::stoi(m.text.substr(3))) ++k;
    EXPECT_EQ(m.x, static_cast<int>(40 + k * d.xstep - 1));
    EXPECT_EQ(m.label_x, m.x - 6);
    EXPECT_TRUE(m.line);
  }
  // Weekly over the whole calendar: the first month, the months, the new year as "26/01";
  // drawing again gives the same axis.
  const int weeks = CalendarLastBar(2);
  const CompareScale w = MakeCompareScale(95, 105, weeks, 1000, 400);
  const std::vector<CompareDateMark> weekly = CompareDateAxis(2, 0, weeks, w);
  EXPECT_EQ(Labels(weekly), (std::vector<std::string>{"10", "11", "12", "26/01", "2", "3", "4", "5", "6", "7", "8",
                                                      "9", "10", "11", "12"}));
  EXPECT_EQ(Labels(CompareDateAxis(2, 0, weeks, w)), Labels(weekly));
  // With bars narrower than seven pixels only the year is marked.
  EXPECT_EQ(Labels(CompareDateAxis(2, 0, weeks, MakeCompareScale(95, 105, weeks, 400, 400))),
            std::vector<std::string>{"26/01"});
  // Monthly: each year where it can be placed, the first year at the second bar.
  const int months = CalendarLastBar(3);
  const std::vector<CompareDateMark> monthly = CompareDateAxis(3, 0, months, MakeCompareScale(95, 105, months, 800, 400));
  EXPECT_EQ(Labels(monthly), (std::vector<std::string>{"2025", "2026"}));
  EXPECT_TRUE(CompareDateAxis(4, 0, 10, d).empty());
  EXPECT_TRUE(PrtHas("AshiFlag Eroor2"));
}

TEST_F(ComparisonData, SlotsAreReadIntoTheirOwnBuffers) {
  Load(300);
  DispNum = 0;
  AshiFlag = 1;
  Hiashi* work = LoadHiashi(0);
  ASSERT_EQ(work->code, FixtureCode(0));
  ChartSeries.close[5] = 4321;
  ChartSeries.DispStart = 3;
  nChartLine = 2;
  auto before = std::make_unique<DispSeries>(ChartSeries);

  const int stocks[COMPARE_SLOTS] = {0, 2, -1, 7, -1, -1, 1};
  const int from = 200, to = 299;
  ComparePlot plot;
  for (int ashi : {1, 2, 3}) {
    const int last = ashi == 1 ? to : CalendarLastBar(ashi);
    const int first = ashi == 1 ? from : std::max(0, last - 20);
    BuildComparePlot(stocks, ashi, first, last, 600, 400, &plot);
    EXPECT_EQ(plot.stock[0], 0);
    EXPECT_EQ(plot.stock[1], 2);
    EXPECT_EQ(plot.stock[3], -1);  // no stock 7
    EXPECT_EQ(plot.stock[6], 1);
    EXPECT_TRUE(plot.values[2].empty());
    ASSERT_EQ(plot.values[1].size(), static_cast<size_t>(last - first + 1));
    EXPECT_DOUBLE_EQ(plot.values[1][0], 100.0);
    EXPECT_GT(plot.values[1].back(), 100.0);
  }
  EXPECT_TRUE(PrtHas("CCmpChartで銘柄コードがエラー"));
  // Daily closes are 1000 + 10 n + d: stock 2 on day d against its first day shown.
  BuildComparePlot(stocks, 1, from, to, 600, 400, &plot);
  EXPECT_DOUBLE_EQ(plot.values[1][10], (1020.0 + from + 10) * 100.0 / (1020.0 + from));
  // Weekly closes are the last close of each week.
  std::vector<int32_t> closes;
  ASSERT_TRUE(ReadCompareCloses(1, 2, CalendarLastBar(2), CalendarLastBar(2), &closes));
  EXPECT_EQ(closes, std::vector<int32_t>{1010 + 299});
  EXPECT_FALSE(ReadCompareCloses(9, 1, 0, 3, &closes));
  EXPECT_EQ(closes, std::vector<int32_t>(4, 0));

  // The chart's work record, display series and line list are as they were.
  EXPECT_EQ(WorkHiashi()->code, FixtureCode(0));
  EXPECT_EQ(std::memcmp(before.get(), &ChartSeries, sizeof ChartSeries), 0);
  EXPECT_EQ(nChartLine, 2);
  EXPECT_EQ(DispNum, 0);
}

}  // namespace
