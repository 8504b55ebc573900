#include "chart/overlays/bollinger.h"

#include <gtest/gtest.h>

#include <cmath>

#include "series_fixture.h"

namespace {

// Period 3: centre 38/3 and 40/3 at bars 3 and 4, truncated to 12 and 13 for the squares:
// S = 9 + 1 + 0 = 10 and 1 + 4 + 4 = 9, divided by a - 1 = 2.
TEST(Bollinger, HandComputed) {
  auto ds = SeriesOfCloses(0, {10, 12, 11, 15, 14});
  auto out = Lines(BOLLINGER_LINES);
  ASSERT_EQ(CalcBollinger(*ds, 3, 2, out.data()), 2);
  const double c3 = 38.0 / 3, c4 = 40.0 / 3, s3 = std::sqrt(5.0), s4 = std::sqrt(4.5);
  ExpectLine(out[0], {3, 4, {{3, c3 + 2 * s3}, {4, c4 + 2 * s4}}}, "upper");
  ExpectLine(out[1], {3, 4, {{3, c3 - 2 * s3}, {4, c4 - 2 * s4}}}, "lower");
  EXPECT_STREQ(out[0].short_label, "BB+2δ");
  EXPECT_STREQ(out[1].short_label, "BB-2δ");
  EXPECT_EQ(out[0].pen_style, PEN_DOT);
  EXPECT_EQ(out[0].flags, 0);
  EXPECT_STREQ(out[0].colour, "Clr_AvgShort");
  EXPECT_STREQ(out[0].label, "");
}

TEST(Bollinger, Levels) {
  auto ds = SeriesOfCloses(0, {10, 12, 11, 15, 14});
  auto out = Lines(BOLLINGER_LINES);
  ASSERT_EQ(CalcBollinger(*ds, 3, 7, out.data()), 6);
  const char* names[] = {"BB+1δ", "BB-1δ", "BB+2δ", "BB-2δ", "BB+3δ", "BB-3δ"};
  for (int k = 0; k < 6; ++k) EXPECT_STREQ(out[k].short_label, names[k]);
  EXPECT_NEAR(out[4].value[4], 40.0 / 3 + 3 * std::sqrt(4.5), 1e-9);
  EXPECT_EQ(CalcBollinger(*ds, 3, 4, out.data()), 2);
  EXPECT_STREQ(out[0].short_label, "BB+3δ");
  EXPECT_EQ(CalcBollinger(*ds, 3, 0, out.data()), 0);
}

TEST(Bollinger, PeriodOneAndBelow) {
  auto ds = SeriesOfCloses(2, {10, 12, 11});
  auto out = Lines(BOLLINGER_LINES);
  // One close around its own average, divisor 1: no width.
  ASSERT_EQ(CalcBollinger(*ds, 1, 1, out.data()), 2);
  ExpectLine(out[0], {3, 4, {{3, 12}, {4, 11}}}, "upper");
  ExpectLine(out[1], {3, 4, {{3, 12}, {4, 11}}}, "lower");
  // An average period below 1 draws no centre line, hence no bands.
  EXPECT_EQ(CalcBollinger(*ds, 0, 7, out.data()), 0);
  EXPECT_EQ(CalcBollinger(*ds, -3, 7, out.data()), 0);
}

TEST(Bollinger, LargePricesStayExact) {
  const int big = 2147483647;
  auto ds = SeriesOfCloses(0, {0, big, 0, big, 0, big});
  auto out = Lines(BOLLINGER_LINES);
  CalcBollinger(*ds, 2, 1, out.data());
  // Bar 2: centre (big + 0) / 2, m = its whole part; S = m^2 + (big - m)^2.
  const double c = big / 2.0, m = std::trunc(c);
  const double sigma = std::sqrt(m * m + (big - m) * (big - m));
  EXPECT_NEAR(out[0].value[2] / (c + sigma), 1.0, 1e-15);
  EXPECT_NEAR(out[1].value[5] / (c - sigma), 1.0, 1e-12);
}

}  // namespace
