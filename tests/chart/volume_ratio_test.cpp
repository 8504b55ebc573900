#include "chart/indicators/volume_ratio.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

TEST(VolumeRatio, Table) {
  struct Case {
    const char* name;
    int first;
    std::vector<int> closes, volumes;
    int n;
    Expected want;
  } cases[] = {
      // Rising 200 and 500, unchanged 300 (half counts), falling 400: 850 of 1400. The first
      // day's volume is not counted as a rise from the empty bar before it.
      {"hand window",
       0,
       {10, 11, 11, 10, 12},
       {100, 200, 300, 400, 500},
       4,
       {4, 4, {{4, 85000.0 / 1400}}}},
      {"hand window, later start",
       2,
       {10, 11, 11, 10, 12},
       {100, 200, 300, 400, 500},
       4,
       {6, 6, {{6, 85000.0 / 1400}}}},
      {"unchanged is 50", 0, {8, 8, 8, 8}, {10, 20, 30, 40}, 3, {3, 3, {{3, 50}}}},
      {"odd volume halves down", 0, {8, 8}, {10, 7}, 1, {1, 1, {{1, 300.0 / 7}}}},
      {"no volume", 0, {8, 9, 10}, {0, 0, 0}, 2, {2, 2, {{2, 0}}}},
      {"window 0 counts as 1", 0, {8, 9, 8}, {1, 2, 3}, 0, {1, 2, {{1, 100}, {2, 0}}}},
  };
  auto out = Lines(VR_LINES);
  for (const auto& c : cases) {
    auto ds = SeriesOfCloses(c.first, c.closes, c.volumes);
    ASSERT_EQ(CalcVR(*ds, 1, c.n, out.data()), VR_LINES);
    ExpectLine(out[0], c.want, c.name);
  }
  EXPECT_EQ(out[0].pen_width, 2);
  EXPECT_STREQ(out[0].title, "ボリュームレシオ");
}

TEST(VolumeRatio, VolumesNear2To31SumIn64Bits) {
  const int big = 2147483647;
  auto ds = SeriesOfCloses(0, std::vector<int>(16, 500), std::vector<int>(16, big));
  auto out = Lines(VR_LINES);
  CalcVR(*ds, 1, 14, out.data());
  EXPECT_NEAR(out[0].value[14], 100.0 * (big / 2) / big, 1e-9);
  EXPECT_NEAR(out[0].value[15], 100.0 * (big / 2) / big, 1e-9);
}

}  // namespace
