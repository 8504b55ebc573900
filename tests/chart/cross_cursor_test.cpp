// The cross cursor's read-out and movement: the lines of a bar, their formatting and
// fitting, the cap on their number, the snapping and which lines are redrawn.
#include "chart/cross_cursor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "chart/chart_series.h"
#include "db/day_index.h"
#include "platform/command_ids.h"
#include "platform/number_text.h"
#include "chart_fixture.h"

namespace {

class CrossCursorTest : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    ResetCross();
    SetCrossWindowHooks({});
    ClearPrtHistory();
    World(40, 1);
    std::memset(&ChartSeries, 0, sizeof ChartSeries);
    nChartLine = 0;
    ChartRecordFlag = 0;
    AshiFlag = 1;
    CandleHaba[0] = 8;
    Metrics.Spacing = 8;
    Metrics.BarX0 = 0;
    Metrics.DispStart = 0;
    Metrics.DispEnd = 39;
    ChartSeries.DispStart = 0;
    ChartSeries.DispEnd = 39;
  }
  void TearDown() override {
    ResetCross();
    ChartTest::TearDown();
  }
  static void SetBar(int i, int o, int h, int l, int c, int v) {
    ChartSeries.open[i] = o;
    ChartSeries.high[i] = h;
    ChartSeries.low[i] = l;
    ChartSeries.close[i] = c;
    ChartSeries.deki[i] = v;
  }
  static std::vector<std::pair<std::string, std::string>> Lines() {
    std::vector<std::pair<std::string, std::string>> out;
    for (int k = 0; k < nCrossLine; ++k) out.emplace_back(CrossLines[k].label, CrossLines[k].value);
    return out;
  }
  static std::string History() {
    static char buf[PRT_LINES * PRT_LINE_BYTES];
    PrtHistoryText(buf, sizeof buf);
    return buf;
  }
};

TEST_F(CrossCursorTest, LinesOfAHandWorkedBar) {
  SetBar(9, 1000, 1010, 990, 1000, 5);
  SetBar(10, 1005, 1040, 1001, 1030, 123456);
  ChartSeries.margin_buy[10] = 3000;
  ChartSeries.margin_sell[10] = 1200;
  ChartRecordFlag = FLAG_MARGIN;
  ASSERT_TRUE(BuildCrossLines(10));
  char date[16];
  DayIndex_to_String(10, date);
  using L = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Lines(), (L{{"", date},
                        {"始値", "1,005"},
                        {"高値", "1,040"},
                        {"安値", "1,001"},
                        {"終値", "1,030"},
                        {"前日比", "+30"},
                        {"", "+3.00%"},
                        {"出来高", "123,456"},
                        {"信用買残", "3,000"},
                        {"信用売残", "1,200"},
                        {"信用倍率", "2.5"}}));
  // Without a sell balance the ratio is a blank.
  ChartSeries.margin_sell[10] = 0;
  BuildCrossLines(10);
  EXPECT_EQ(Lines().back(), (std::pair<std::string, std::string>{"信用倍率", " "}));
}

TEST_F(CrossCursorTest, ChangeFromThePreviousClose) {
  const std::vector<std::tuple<int, std::string, std::string>> cases = {
      {1030, "+30", "+3.00%"}, {970, "-30", "-3.00%"}, {1000, "0", "0.00%"}};
  for (const auto& [close, change, pct] : cases) {
    SetBar(4, 1000, 1000, 1000, 1000, 1);
    SetBar(5, 1000, 1100, 900, close, 1);
    BuildCrossLines(5);
    ASSERT_GE(nCrossLine, 7);
    EXPECT_STREQ(CrossLines[5].label, "前日比");
    EXPECT_EQ(std::string(CrossLines[5].value), change);
    EXPECT_EQ(std::string(CrossLines[6].value), pct);
  }
  // The first bar and a bar after a zero close have no change lines.
  for (int i : {0, 5}) {
    SetBar(4, 0, 0, 0, 0, 0);
    SetBar(0, 10, 10, 10, 10, 1);
    BuildCrossLines(i);
    EXPECT_STREQ(CrossLines[5].label, "出来高") << i;
  }
}

TEST_F(CrossCursorTest, ValueTextsAndFitting) {
  const std::vector<std::pair<double, std::string>> values = {
      {12345.6, "12,346"}, {1234.5, "1,234.5"}, {-12345, "-12,345"}, {-123, "-123.0"},
      {0, "0.0"},          {9999.94, "9,999.9"}, {1234567.0, "1,234,567"}};
  for (const auto& [v, text] : values) EXPECT_EQ(CrossValueText(v), text) << v;
  EXPECT_STREQ(CommaAdd(-1234567), "-1,234,567");
  EXPECT_STREQ(CommaAdd(999), "999");

  const std::vector<std::tuple<std::string, std::string, std::string>> fits = {
      {"出来高", "1,234,567,890", "出来"},     // 6 + 13 bytes: 2 cut
      {"出来高", "123,456", "出来高"},         // fits
      {"信用買残", "12,345,678,901", "信"},    // 8 + 14: 5 over, 6 cut
      {"出来高", "12,345,678,901,234", " "},   // the label would vanish
      {"ab", "1234567890123456", " "},  // 1 over, 2 cut
  };
  for (const auto& [label, value, kept] : fits) {
    CrossLine l{};
    std::strcpy(l.label, label.c_str());
    std::strcpy(l.value, value.c_str());
    FitCrossLine(&l);
    EXPECT_EQ(std::string(l.label), kept) << label << " " << value;
    EXPECT_EQ(std::string(l.value), value);
  }
}

TEST_F(CrossCursorTest, MoreThanFortyLinesAreCappedAndLogged) {
  SetBar(9, 1000, 1000, 1000, 1000, 1);
  SetBar(10, 1000, 1000, 1000, 1010, 1);
  ChartRecordFlag = FLAG_MARGIN;
  nChartLine = CHART_LINE_MAX;  // 11 price lines and 32 records: 43 lines
  for (int k = 0; k < nChartLine; ++k) {
    ChartLines[k].from = 0;
    ChartLines[k].to = 39;
    ChartLines[k].value[10] = k;
    std::snprintf(ChartLines[k].short_label, LINE_TEXT, "L%d", k);
  }
  ASSERT_TRUE(BuildCrossLines(10));
  EXPECT_EQ(nCrossLine, CROSS_VIEW_MAX);
  EXPECT_STREQ(CrossLines[CROSS_VIEW_MAX - 1].label, "L28");
  EXPECT_NE(History().find("m > CROSS_VIEW_MAX !"), std::string::npos);
}

TEST_F(CrossCursorTest, BarsOutsideTheCalendarArraysAreRefused) {
  BuildCrossLines(3);
  const int n = nCrossLine;
  AshiFlag = 2;
  EXPECT_FALSE(BuildCrossLines(704));
  AshiFlag = 3;
  EXPECT_FALSE(BuildCrossLines(-1));
  EXPECT_EQ(nCrossLine, n);
  EXPECT_NE(History().find("週足範囲Err=704"), std::string::npos);
  EXPECT_NE(History().find("月足範囲Err=-1"), std::string::npos);
}

TEST_F(CrossCursorTest, EstimatedDatesBeyondTheDataWithTheCloud) {
  nikkei_date[LastDate - 1] = 20261211;  // a Friday
  fViewIchimoku = 1;
  BuildCrossLines(39 + 1);
  EXPECT_STREQ(CrossLines[0].value, "2026/12/14?");
  BuildCrossLines(39 + 6);
  EXPECT_STREQ(CrossLines[0].value, "2026/12/21?");
  EXPECT_EQ(nCrossLine, 1);
  AshiFlag = 3;
  ChartSeries.DispEnd = 5;
  BuildCrossLines(7);
  EXPECT_STREQ(CrossLines[0].value, "2027/ 2?");
  fViewIchimoku = 0;
}

TEST_F(CrossCursorTest, MovingSnapsAndRedrawsOnlyWhatMoved) {
  std::vector<std::tuple<int, int, bool>> drawn;
  auto draw = [&](int x, int y, bool v) { drawn.emplace_back(x, y, v); };
  // First move: snapped to the slot centre, lines built for that bar; nothing to erase.
  EXPECT_EQ(MoveCross(0, 21, 50, draw), 2);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, int, bool>>{{20, 50, true}}));
  EXPECT_EQ(CrossX(), 20);
  // Up and down in the same slot: only the horizontal line, the read-out stays.
  drawn.clear();
  EXPECT_EQ(MoveCross(0, 23, 60, draw), -1);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, int, bool>>{{20, 50, false}, {20, 60, false}}));
  // The same spot again draws nothing.
  drawn.clear();
  EXPECT_EQ(MoveCross(0, 22, 60, draw), -1);
  EXPECT_TRUE(drawn.empty());
  // Next slot: both lines move.
  EXPECT_EQ(MoveCross(0, 25, 60, draw), 3);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, int, bool>>{{20, 60, true}, {28, 60, true}}));
  // After a paint the whole cross-hair is drawn once at the last place.
  drawn.clear();
  EXPECT_EQ(MoveCross(1, 0, 0, draw), 3);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, int, bool>>{{28, 60, true}}));
}

TEST_F(CrossCursorTest, ToggleCommandAndCheckMark) {
  bool exists = false;
  CrossWindowHooks h;
  h.exists = [&] { return exists; };
  h.set_window = [&](bool create) { exists = create; };
  SetCrossWindowHooks(h);
  RegisterCrossCommands();
  CrossView = 1;  // as read from the settings: the window is made by the posted command
  EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 0);
  OnCommand(IDM_CROSS_CURSOR);
  EXPECT_TRUE(exists);
  EXPECT_EQ(CrossView, 1);
  EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 1);
  OnCommand(IDM_CROSS_CURSOR);
  EXPECT_FALSE(exists);
  EXPECT_EQ(CrossView, 0);
  EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 0);
  SetCrossWindowHooks({});
}

}  // namespace
