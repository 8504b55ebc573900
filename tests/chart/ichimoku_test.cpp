#include "chart/overlays/ichimoku.h"

#include <gtest/gtest.h>

#include <cmath>

#include "series_fixture.h"

namespace {

const std::vector<FixtureBar> kBars = {{10, 8, 9, 0},   {12, 9, 11, 0},  {11, 7, 8, 0},
                                       {13, 10, 12, 0}, {14, 12, 13, 0}, {14, 10, 11, 0},
                                       {15, 11, 14, 0}, {16, 13, 15, 0}};

// K = 2, T = 1: the spans come from bars 5 ... 7 and stand one bar ahead.
TEST(Ichimoku, SpansAndCloudStart) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(ICHIMOKU_LINES);
  ASSERT_EQ(CalcIchimoku(*ds, 1, 2, 1, out.data()), ICHIMOKU_LINES);
  ExpectLine(out[0], {2, 7, {{2, 9.5}, {3, 10}, {4, 12}, {5, 12}, {6, 12.5}, {7, 13.5}}}, "base");
  ExpectLine(out[1], {2, 7, {{2, 9}, {3, 11.5}, {4, 13}, {5, 12}, {6, 13}, {7, 14.5}}},
             "conversion");
  ExpectLine(out[2], {6, 8, {{6, 12}, {7, 12.75}, {8, 14}}}, "span 1");
  ExpectLine(out[3], {6, 8, {{6, 10.5}, {7, 12.5}, {8, 13}}}, "span 2");
  ExpectLine(out[4], {0, 6, {{0, 11}, {1, 8}, {2, 12}, {6, 15}}}, "lagging");
}

TEST(Ichimoku, LaterStartAndScrolledBack) {
  auto ds = SeriesOfBars(20, kBars);
  ds->DispEnd = 26;  // one bar before the last
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 1, 2, 1, out.data());
  ExpectLine(out[0], {22, 26, {{22, 9.5}}}, "base");
  ExpectLine(out[2], {26, 27, {{26, 12}, {27, 12.75}}}, "span 1");
  ExpectLine(out[4], {20, 26, {{26, 15}}}, "lagging");  // to the last bar with data
}

// A conversion period longer than the base period: nothing reads before the stock's data.
TEST(Ichimoku, ConversionLongerThanBase) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 1, 2, 5, out.data());
  ExpectLine(out[1], {5, 7, {{5, 10.5}, {6, 11}}}, "conversion");
  ExpectLine(out[0], {5, 7, {{5, 12}}}, "base");
  ExpectLine(out[2], {7, 8, {{7, 11.75}}}, "span 1");
  ExpectLine(out[3], {7, 8, {{7, 12.5}}}, "span 2");
}

TEST(Ichimoku, ShortHistoryHasNoCloud) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 1, 3, 2, out.data());  // 8 bars, fewer than 3 K
  EXPECT_FALSE(IsEmpty(out[0]));
  EXPECT_FALSE(IsEmpty(out[1]));
  EXPECT_FALSE(IsEmpty(out[4]));
  EXPECT_LT(out[2].to - out[2].from, 1);  // no span segment to fill
}

TEST(Ichimoku, BasePeriodKeepsTheLeadInsideTheLine) {
  EXPECT_EQ(IchimokuBasePeriod(26), 26);
  EXPECT_EQ(IchimokuBasePeriod(0), 1);
  EXPECT_EQ(IchimokuBasePeriod(-5), 1);
  EXPECT_EQ(IchimokuBasePeriod(101), 101);
  EXPECT_EQ(IchimokuBasePeriod(500), 101);

  std::vector<int> closes(MAX_DATE);
  for (int i = 0; i < MAX_DATE; ++i) closes[i] = 1000 + (i * 37) % 101;
  auto ds = SeriesOfCloses(0, closes);
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 1, 100000, 9, out.data());
  EXPECT_EQ(out[2].to, MAX_DATE - 1 + 100);
  EXPECT_EQ(out[2].to, LINE_VALUE_COUNT - 1);
  for (int k = 0; k < ICHIMOKU_LINES; ++k)
    for (int i = out[k].from; i <= out[k].to; ++i) ASSERT_TRUE(std::isfinite(out[k].value[i])) << k;
  EXPECT_STREQ(out[0].label, "基準線101日");
}

TEST(Ichimoku, DefaultsLeadBy25) {
  std::vector<int> closes(100, 500);
  auto ds = SeriesOfCloses(0, closes);
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 2, 26, 9, out.data());
  EXPECT_EQ(out[2].from, 78);
  EXPECT_EQ(out[3].to, 99 + 25);
  EXPECT_EQ(out[4].to, 99 - 25);
  EXPECT_STREQ(out[0].label, "基準線26週");
  EXPECT_STREQ(out[1].label, "転換線 9週");
  EXPECT_STREQ(out[3].label, "抵抗帯雲");
  EXPECT_STREQ(out[4].short_label, "遅行");
  EXPECT_EQ(out[1].pen_style, PEN_DOT);
}

}  // namespace
