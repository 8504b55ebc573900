#include "chart/indicator_scale.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(IndicatorScale, ValuesClippedToTheirPane) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double v;
    int want;
  } cases[] = {{0, 400},   {50, 350},  {100, 300}, {150, 300},
               {-20, 400}, {nan, 400}, {inf, 400}, {33.3, 367}};
  for (const Case& c : cases) EXPECT_EQ(IndicatorValueY(c.v, 400, 100), c.want) << c.v;
  EXPECT_EQ(IndicatorValueY(70, 400, 0), 400 - 70);  // no pane height: 1.0 per pixel
}

TEST(IndicatorScale, MacdPane) {
  EXPECT_EQ(MacdPaneValue(0, 4), 50);
  EXPECT_EQ(MacdPaneValue(4, 4), 100);
  EXPECT_EQ(MacdPaneValue(-2, 4), 25);
  EXPECT_EQ(MacdPaneValue(8, 4), 100);  // a histogram bar beyond the MACD's largest value
  EXPECT_EQ(MacdPaneValue(-12, 4), 0);
  EXPECT_EQ(MacdPaneValue(1, 0), 100);  // no scale: m = 1
  EXPECT_EQ(MacdPaneValue(std::numeric_limits<double>::quiet_NaN(), 4), 50);
  EXPECT_EQ(MacdMiddleY(400, 100), 350);
  // Labels: m = 1 (a flat price) reads -1 ... 1 with 0 in the middle and the quarter lines.
  EXPECT_EQ(MacdScaleLabel(0, 1.0), -1);
  EXPECT_EQ(MacdScaleLabel(25, 1.0), 0);
  EXPECT_EQ(MacdScaleLabel(50, 1.0), 0);
  EXPECT_EQ(MacdScaleLabel(100, 1.0), 1);
  EXPECT_EQ(MacdScaleLabel(100, 37.9), 37);
  EXPECT_EQ(MacdScaleLabel(0, 5.0e9), -5000000000LL);
}

TEST(IndicatorScale, KairiBarsAndLabels) {
  const int mid = 350, h = 100;
  EXPECT_EQ(KairiBarTop(20, mid, h), 300);
  EXPECT_EQ(KairiBarTop(-20, mid, h), 400);
  EXPECT_EQ(KairiBarTop(10, mid, h), 325);
  EXPECT_EQ(KairiBarTop(35, mid, h), 300);  // beyond +20 %: clipped to the pane
  EXPECT_EQ(KairiBarTop(-90, mid, h), 400);
  EXPECT_EQ(KairiBarTop(std::numeric_limits<double>::quiet_NaN(), mid, h), mid);
  const int labels[] = {-20, -10, 0, 10, 20};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(KairiScaleLabel(25 * k), labels[k]);
}

}  // namespace
