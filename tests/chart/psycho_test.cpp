#include "chart/indicators/psycho.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

// 12 changes after the first close: 8 rises, 3 falls, 1 unchanged.
const std::vector<int> kMixed = {100, 101, 102, 101, 103, 104, 104, 105, 104, 106, 107, 106, 108};

struct PsychoCase {
  const char* name;
  int first;
  std::vector<int> closes;
  int n;
  int disp_start;  // -1: the first bar
  Expected want;
};

TEST(Psycho, Table) {
  const PsychoCase cases[] = {
      // 50 + 50 * 5 / 12; the first bar compares with the stock's first day, never the
      // empty bar before it (day -1 of a stock that starts at day 0).
      {"70.83 at day 0", 0, kMixed, 12, -1, {12, 12, {{12, 50 + 50.0 * 5 / 12}}}},
      {"70.83 later start", 7, kMixed, 12, -1, {19, 19, {{19, 50 + 50.0 * 5 / 12}}}},
      {"window 3",
       0,
       kMixed,
       3,
       -1,
       {3, 12, {{3, 50 + 50.0 * 1 / 3}, {6, 50 + 50.0 * 2 / 3}, {7, 50 + 50.0 * 2 / 3}}}},
      {"DispStart beyond the window", 0, kMixed, 3, 8, {8, 12, {{8, 50}, {9, 50 + 50.0 / 3}}}},
      {"window 0 counts as 1", 0, kMixed, 0, -1, {1, 12, {{1, 100}, {3, 0}, {6, 50}}}},
      {"window -4 counts as 1", 0, kMixed, -4, -1, {1, 12, {{1, 100}}}},
      {"window longer than history", 0, kMixed, 13, -1, {0, -1, {}}},
  };
  auto out = Lines(PSYCHO_LINES);
  for (const PsychoCase& c : cases) {
    auto ds = SeriesOfCloses(c.first, c.closes);
    if (c.disp_start >= 0) ds->DispStart = c.disp_start;
    ASSERT_EQ(CalcPsycho(*ds, 1, c.n, out.data()), PSYCHO_LINES);
    ExpectLine(out[0], c.want, c.name);
  }
}

TEST(Psycho, Presentation) {
  auto ds = SeriesOfCloses(0, kMixed);
  auto out = Lines(PSYCHO_LINES);
  CalcPsycho(*ds, 2, 9, out.data());
  EXPECT_STREQ(out[0].title, "サイコロジカル");
  EXPECT_STREQ(out[0].label, " 9週");
  EXPECT_STREQ(out[0].short_label, "Psycho");
  EXPECT_STREQ(out[0].colour, "Clr_Psycho");
  EXPECT_EQ(out[0].flags, LINE_PANE);
}

}  // namespace
