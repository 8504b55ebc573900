#include "chart/indicators/stochastics.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

// With N = 3: num 1 5 6 1 4 6 and den 5 6 7 4 5 6 for bars 2 ... 7.
const std::vector<FixtureBar> kBars = {{10, 8, 9, 0},   {12, 9, 11, 0},  {11, 7, 8, 0},
                                       {13, 10, 12, 0}, {14, 12, 13, 0}, {14, 10, 11, 0},
                                       {15, 11, 14, 0}, {16, 13, 16, 0}};

TEST(Stochastics, HandComputed) {
  for (int first : {0, 11}) {
    SCOPED_TRACE(first);
    auto ds = SeriesOfBars(first, kBars);
    auto out = Lines(STOC_LINES);
    ASSERT_EQ(CalcStoc(*ds, 1, 3, out.data()), STOC_LINES);
    const int b = first;
    ExpectLine(out[0], {b + 2, b + 7, {{b + 2, 20}, {b + 3, 500.0 / 6}, {b + 5, 25}, {b + 7, 100}}},
               "%K");
    // %D is the ratio of three-bar sums, starting where its three %K windows lie inside the
    // data; slow %D the mean of three %D.
    const double d4 = 1200.0 / 18, d5 = 1200.0 / 17, d6 = 1100.0 / 16, d7 = 1100.0 / 15;
    ExpectLine(out[1], {b + 4, b + 7, {{b + 4, d4}, {b + 5, d5}, {b + 6, d6}, {b + 7, d7}}}, "%D");
    ExpectLine(out[2], {b + 6, b + 7, {{b + 6, (d4 + d5 + d6) / 3}, {b + 7, (d5 + d6 + d7) / 3}}},
               "%SD");
  }
}

// DispStart just past the window: the design's start would have slow %D read %D values
// whose windows reach before the stock's data.
TEST(Stochastics, LateDispStartStillInsideData) {
  auto ds = SeriesOfBars(4, kBars);
  ds->DispStart = 4 + 5;  // DispStart - N > FirstData, so %K starts there
  auto out = Lines(STOC_LINES);
  CalcStoc(*ds, 1, 3, out.data());
  EXPECT_EQ(out[0].from, 9);
  EXPECT_EQ(out[1].from, 9);
  ExpectLine(out[2], {10, 11, {{10, (1200.0 / 18 + 1200.0 / 17 + 1100.0 / 16) / 3}}}, "%SD");
}

TEST(Stochastics, FlatWindowIsZero) {
  auto ds = SeriesOfCloses(0, {30, 30, 30, 30, 30, 30, 30, 30});
  auto out = Lines(STOC_LINES);
  CalcStoc(*ds, 1, 3, out.data());
  for (int k = 0; k < STOC_LINES; ++k) {
    EXPECT_LE(out[k].from, 6);
    for (int i = out[k].from; i <= out[k].to; ++i) EXPECT_EQ(out[k].value[i], 0);
  }
}

TEST(Stochastics, Presentation) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(STOC_LINES);
  CalcStoc(*ds, 2, 0, out.data());  // window 0 counts as 1
  EXPECT_STREQ(out[0].title, "ストキャスティクス 1週");
  EXPECT_STREQ(out[2].title, out[0].title);
  EXPECT_STREQ(out[0].label, "%K");
  EXPECT_STREQ(out[2].label, "%SD");
  EXPECT_STREQ(out[1].short_label, "STOC D");
  EXPECT_EQ(out[0].pen_style, PEN_DOT);
  EXPECT_EQ(out[0].from, 0);
  EXPECT_EQ(out[2].from, 4);
}

}  // namespace
