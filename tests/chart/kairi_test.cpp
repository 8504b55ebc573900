#include "chart/indicators/kairi.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

TEST(Kairi, Table) {
  struct Case {
    const char* name;
    int first;
    std::vector<int> closes;
    int n;
    int disp_start;
    Expected want;
  } cases[] = {
      // The first point uses the first full window's average truncated to 11 (34 / 3).
      {"truncated first point",
       0,
       {10, 11, 13, 12, 15},
       3,
       0,
       {2, 4, {{2, 200.0 / 11}, {3, 0}, {4, (15 - 40.0 / 3) / (40.0 / 3) * 100}}}},
      {"start ignores DispStart", 5, {10, 11, 13, 12, 15}, 3, 9, {7, 9, {{7, 200.0 / 11}}}},
      {"window 0 counts as 1", 0, {10, 11, 13}, 0, 0, {0, 2, {{0, 0}, {2, 0}}}},
      {"zero average", 0, {0, 0, 0, 0}, 2, 0, {1, 3, {{1, 0}, {3, 0}}}},
      {"window longer than history", 0, {10, 11}, 3, 0, {0, -1, {}}},
  };
  auto out = Lines(KAIRI_LINES);
  for (const auto& c : cases) {
    auto ds = SeriesOfCloses(c.first, c.closes);
    ds->DispStart = c.disp_start;
    ASSERT_EQ(CalcKairi(*ds, 1, c.n, out.data()), KAIRI_LINES);
    ExpectLine(out[0], c.want, c.name);
  }
  EXPECT_STREQ(out[0].short_label, "乖離率");
  EXPECT_STREQ(out[0].label, "対3日平均");
  EXPECT_STREQ(out[0].colour, "Clr_AvgShort");
}

}  // namespace
