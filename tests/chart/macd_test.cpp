#include "chart/indicators/macd.h"

#include <gtest/gtest.h>

#include "chart/indicator_scale.h"
#include "series_fixture.h"

namespace {

// a = 1 (the close itself), b = 2 (seed 11, then alpha 2/3), g = 2.
TEST(Macd, HandComputed) {
  auto ds = SeriesOfCloses(0, {10, 12, 11, 15, 14, 16});
  auto out = Lines(MACD_LINES);
  ASSERT_EQ(CalcMACD(*ds, 1, 1, 2, 2, true, out.data()), 3);
  const double e3 = 11 + 2.0 / 3 * 4, e4 = e3 + 2.0 / 3 * (14 - e3), e5 = e4 + 2.0 / 3 * (16 - e4);
  const double m3 = 15 - e3, m4 = 14 - e4, m5 = 16 - e5;
  ExpectLine(out[1], {2, 5, {{2, 0}, {3, m3}, {4, m4}, {5, m5}}}, "MACD");
  ExpectLine(out[2], {4, 5, {{4, (m3 + m4) / 2}, {5, (m4 + m5) / 2}}}, "signal");
  ExpectLine(out[0], {4, 5, {{4, m4 - (m3 + m4) / 2}, {5, m5 - (m4 + m5) / 2}}}, "histogram");
  EXPECT_EQ(out[0].flags, LINE_PANE | LINE_MACD | LINE_BARS);
  EXPECT_EQ(out[1].flags, LINE_PANE | LINE_MACD);
  EXPECT_EQ(out[2].pen_style, PEN_DOT);
  EXPECT_STREQ(out[1].label, "MACD 1日-2日");
  EXPECT_STREQ(out[1].short_label, "MACD(1-2)");
  EXPECT_STREQ(out[2].label, "シグナル 2日");
  EXPECT_EQ(out[2].label_row, 1);
  EXPECT_EQ(out[0].label_row, 2);
  EXPECT_STREQ(out[0].short_label, "MACD Hist");
}

TEST(Macd, WithoutHistogramAndFromDispStart) {
  auto ds = SeriesOfCloses(0, {10, 12, 11, 15, 14, 16});
  ds->DispStart = 3;
  auto out = Lines(MACD_LINES);
  ASSERT_EQ(CalcMACD(*ds, 1, 1, 2, 2, false, out.data()), 2);
  EXPECT_STREQ(out[0].short_label, "MACD(1-2)");
  EXPECT_EQ(out[0].from, 3);
  EXPECT_EQ(out[1].from, 4);
}

TEST(Macd, FlatPriceIsZeroOnScaleOne) {
  auto ds = SeriesOfCloses(0, std::vector<int>(40, 250));
  auto out = Lines(MACD_LINES);
  CalcMACD(*ds, 1, 5, 20, 9, false, out.data());
  ExpectLine(out[0], {20, 39, {{20, 0}, {39, 0}}}, "MACD");
  ExpectLine(out[1], {29, 39, {{29, 0}}}, "signal");
  EXPECT_EQ(MacdScaleMax(out[0]), 1.0);
  EXPECT_EQ(MacdPaneValue(out[0].value[30], 1.0), 50);
}

// A short period longer than the long one: the MACD waits for both averages.
TEST(Macd, ShortLongerThanLong) {
  auto ds = SeriesOfCloses(0, {10, 12, 11, 15, 14, 16, 13, 12});
  auto out = Lines(MACD_LINES);
  CalcMACD(*ds, 1, 4, 2, 1, false, out.data());
  const double ea3 = (10 + 12 + 11 + 15) / 4.0, ea4 = ea3 + 0.4 * (14 - ea3);
  const double eb3 = 11 + 2.0 / 3 * 4, eb4 = eb3 + 2.0 / 3 * (14 - eb3);
  ExpectLine(out[0], {4, 7, {{4, ea4 - eb4}}}, "MACD");
  ExpectLine(out[1], {5, 7, {}}, "signal");
}

TEST(Macd, PeriodsBelowOneCountAsOne) {
  auto ds = SeriesOfCloses(0, {10, 12, 11});
  auto out = Lines(MACD_LINES);
  CalcMACD(*ds, 1, 0, -2, 0, false, out.data());
  ExpectLine(out[0], {1, 2, {{1, 0}, {2, 0}}}, "MACD");
  ExpectLine(out[1], {2, 2, {{2, 0}}}, "signal");
}

}  // namespace
