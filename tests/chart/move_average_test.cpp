#include "chart/move_average.h"

#include <gtest/gtest.h>

#include "chart/indicator_line.h"
#include "series_fixture.h"

namespace {

TEST(MoveAverage, FirstFullWindowIsWhole) {
  auto ds = SeriesOfCloses(4, {10, 11, 13, 12, 15}, {5, 6, 6, 7, 9});
  static double buf[MAX_DATE];
  ASSERT_TRUE(CalcMoveAve(*ds, 3, buf));
  EXPECT_TRUE(IsNoValue(buf[3]));
  EXPECT_EQ(buf[4], 10);
  EXPECT_EQ(buf[5], 10.5);
  EXPECT_EQ(buf[6], 11);  // 34 / 3 truncated
  EXPECT_EQ(buf[7], 12);
  EXPECT_DOUBLE_EQ(buf[8], 40.0 / 3);
  EXPECT_TRUE(IsNoValue(buf[9]));

  ASSERT_TRUE(CalcDekiMoveAve(*ds, 2, buf));
  EXPECT_EQ(buf[5], 5);  // 11 / 2 truncated
  EXPECT_EQ(buf[6], 6);
  EXPECT_EQ(buf[8], 8);

  EXPECT_FALSE(CalcMoveAve(*ds, 0, buf));
  EXPECT_FALSE(CalcMoveAve(*ds, -1, buf));
  EXPECT_TRUE(IsNoValue(buf[5]));
}

}  // namespace
