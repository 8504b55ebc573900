#include "chart/indicators/rsi.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

TEST(Rsi, Table) {
  struct Case {
    const char* name;
    int first;
    std::vector<int> closes;
    int n;
    Expected want;
  } cases[] = {
      // Changes +2, -1, 0, +3: g = 5/4, l = 1/4. The first change is the stock's own, not a
      // jump from the empty bar before it.
      {"hand window", 0, {10, 12, 11, 11, 14}, 4, {4, 4, {{4, 1.25 / 1.5 * 100}}}},
      {"hand window, later start", 6, {10, 12, 11, 11, 14}, 4, {10, 10, {{10, 1.25 / 1.5 * 100}}}},
      {"sliding", 0, {10, 12, 11, 11, 14, 13}, 4, {4, 5, {{5, 100.0 * 3 / 5}}}},
      {"flat is 50", 0, {7, 7, 7, 7, 7, 7}, 3, {3, 5, {{3, 50}, {5, 50}}}},
      {"only falls", 0, {9, 8, 7, 6}, 3, {3, 3, {{3, 0}}}},
      {"window 0 counts as 1", 0, {10, 12, 11}, 0, {1, 2, {{1, 100}, {2, 0}}}},
      {"window longer than history", 0, {10, 12, 11}, 3, {0, -1, {}}},
  };
  auto out = Lines(RSI_LINES);
  for (const auto& c : cases) {
    auto ds = SeriesOfCloses(c.first, c.closes);
    ASSERT_EQ(CalcRSI(*ds, 1, c.n, out.data()), RSI_LINES);
    ExpectLine(out[0], c.want, c.name);
  }
  EXPECT_STREQ(out[0].short_label, "RSI(3)");
  EXPECT_STREQ(out[0].title, "ＲＳＩ(相対力指数)");
}

}  // namespace
