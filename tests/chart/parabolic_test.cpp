#include "chart/overlays/parabolic.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

TEST(Parabolic, ReversalsByHand) {
  // high, low: the first bar reverses at once (its dot at its high), a falling trend
  // follows, and bar 3 turns it up again with the dot at the falling trend's lowest low.
  std::vector<FixtureBar> bars = {
      {10, 8, 9, 0}, {9, 7, 8, 0}, {8, 6, 7, 0}, {11, 7, 10, 0}, {12, 10, 11, 0}};
  for (int i = 0; i < 11; ++i) bars.push_back({13 + i, 11 + i, 12 + i, 0});
  for (int first : {0, 30}) {
    SCOPED_TRACE(first);
    auto ds = SeriesOfBars(first, bars);
    ds->DispStart = first + 4;  // the dots start at the stock's data, not at the left edge
    auto out = Lines(PARABOLIC_LINES);
    ASSERT_EQ(CalcParabolic(*ds, out.data()), PARABOLIC_LINES);
    const int b = first;
    ExpectLine(out[0],
               {b,
                b + 15,
                {{b, 10},
                 {b + 1, 9.94},
                 {b + 2, 9.94 + 0.04 * (6 - 9.94)},
                 {b + 3, 6},
                 {b + 4, 6 + 0.02 * 6},
                 // after nine new highs the acceleration stops at 0.2
                 {b + 15, 16.33043670397763 + 0.2 * (23 - 16.33043670397763)}}},
               "SAR");
    EXPECT_NEAR(out[0].value[b + 14], 16.33043670397763, 1e-9);
  }
}

TEST(Parabolic, Presentation) {
  auto ds = SeriesOfCloses(0, {5, 6, 7});
  auto out = Lines(PARABOLIC_LINES);
  CalcParabolic(*ds, out.data());
  EXPECT_EQ(out[0].flags, LINE_DOTS);
  EXPECT_EQ(out[0].pen_width, 2);
  EXPECT_STREQ(out[0].short_label, "Para");
  EXPECT_STREQ(out[0].colour, "Clr_Parabolic");
}

}  // namespace
