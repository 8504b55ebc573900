#include "chart/indicators/rci.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "series_fixture.h"

namespace {

// The ranking exactly as the chart describes it: a selection sort that swaps the first
// largest close of the rest into each place, carrying the date positions along.
double NaiveRci(const std::vector<int>& window) {
  const int n = static_cast<int>(window.size());
  std::vector<std::pair<int, int>> list;  // close, date position
  for (int d = 0; d < n; ++d) list.push_back({window[d], d});
  for (int p = 0; p < n; ++p) {
    int best = p;
    for (int q = p + 1; q < n; ++q)
      if (list[q].first > list[best].first) best = q;
    std::swap(list[p], list[best]);
  }
  double D = 0;
  for (int j = 0; j < n; ++j) D += double(list[j].second - j) * (list[j].second - j);
  return ((1 - 6 * D / (double(n) * (double(n) * n - 1))) * (-100) + 100) * 0.5;
}

TEST(Rci, WindowTable) {
  struct Case {
    const char* name;
    std::vector<int> closes;
    double want;
  } cases[] = {
      {"rising", {1, 2, 3, 4, 5, 6, 7, 8}, 100},
      {"falling", {8, 7, 6, 5, 4, 3, 2, 1}, 0},
      {"all equal keep their date order", {5, 5, 5, 5, 5, 5, 5, 5}, 0},
      // The sort leaves the two 2s as dates 2, 0 (a stable order would give 70): D = 18.
      {"tie reordered by the swaps", {2, 1, 2, 3}, 90},
      {"two closes", {1, 2}, 100},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RciOfWindow(c.closes.data(), int(c.closes.size())), c.want, 1e-9) << c.name;
    EXPECT_NEAR(NaiveRci(c.closes), c.want, 1e-9) << c.name;
  }
}

// The fast ranking against the literal sort on many tie-heavy windows.
TEST(Rci, SameAsSelectionSortWithTies) {
  std::mt19937 rng(7);
  for (int n : {2, 3, 4, 5, 8, 13, 40, 150}) {
    for (int spread : {1, 2, 3, 6, 1000}) {
      std::uniform_int_distribution<int> pick(100, 100 + spread);
      std::vector<int> closes(n + 60);
      for (int& c : closes) c = pick(rng);
      auto ds = SeriesOfCloses(0, closes);
      auto out = Lines(RCI_LINES);
      CalcRCI(*ds, 1, n, n, out.data());
      for (int i = n - 1; i < int(closes.size()); ++i) {
        std::vector<int> w(closes.begin() + i - n + 1, closes.begin() + i + 1);
        ASSERT_NEAR(out[0].value[i], NaiveRci(w), 1e-9)
            << "n " << n << " spread " << spread << " bar " << i;
      }
    }
  }
}

// Long runs of one close (a quiet stock, the flat days after delisting) make large groups.
TEST(Rci, SameAsSelectionSortOnPlateaus) {
  std::vector<int> closes;
  for (int k = 0; k < 70; ++k) closes.push_back(300);
  for (int k = 0; k < 50; ++k) closes.push_back(k % 2 ? 300 : 310);
  for (int k = 0; k < 60; ++k) closes.push_back(290);
  for (int k = 0; k < 40; ++k) closes.push_back(290 + k % 7);
  auto ds = SeriesOfCloses(0, closes);
  auto out = Lines(RCI_LINES);
  for (int n : {9, 30, 64, 100}) {
    CalcRCI(*ds, 1, n, n, out.data());
    for (int i = n - 1; i < int(closes.size()); ++i) {
      std::vector<int> w(closes.begin() + i - n + 1, closes.begin() + i + 1);
      ASSERT_NEAR(out[0].value[i], NaiveRci(w), 1e-9) << "n " << n << " bar " << i;
    }
  }
}

TEST(Rci, LinesAndWindows) {
  auto ds = SeriesOfCloses(3, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21});
  auto out = Lines(RCI_LINES);
  ASSERT_EQ(CalcRCI(*ds, 1, 8, 12, out.data()), RCI_LINES);
  ExpectLine(out[0], {10, 14, {{10, 100}, {14, 100}}}, "short");
  ExpectLine(out[1], {14, 14, {{14, 100}}}, "long");
  EXPECT_STREQ(out[0].short_label, "RCI(8)");
  EXPECT_STREQ(out[1].label, "12日");
  EXPECT_STREQ(out[1].colour, "Clr_RciLong");
  EXPECT_STREQ(out[0].title, "ＲＣＩ(順位相関係数)");

  // A window of 1 would divide by zero; it counts as 2, as does anything below.
  CalcRCI(*ds, 1, 1, -3, out.data());
  ExpectLine(out[0], {4, 14, {{4, 100}}}, "window 1");
  ExpectLine(out[1], {4, 14, {{4, 100}}}, "window -3");
  EXPECT_STREQ(out[0].short_label, "RCI(2)");
}

}  // namespace
