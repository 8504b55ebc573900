#include "chart/overlays/ichimoku.h"

#include <gtest/gtest.h>


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

// A conversion period longer than the base period: the conversion line and span 1 start
// where the conversion window lies inside the data, the base line and span 2 as before.
TEST(Ichimoku, ConversionLongerThanBase) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(ICHIMOKU_LINES);
  CalcIchimoku(*ds, 1, 2, 5, out.data());
  ExpectLine(out[1], {5, 7, {{5, 10.5}, {6, 11}}}, "conversion");
  ExpectLine(out[0], {2, 7, {{2, 9.5}, {5, 12}}}, "base");
  ExpectLine(out[2], {7, 8, {{7, 11.75}}}, "span 1");
  ExpectLine(out[3], {6, 8, {{6, 10.5}, {7, 12.5}}}, "span 2");
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

TEST(Ichimoku, BasePeriodIsOnlyKeptInRange) {
  EXPECT_EQ(IchimokuBasePeriod(26), 26);
  EXPECT_EQ(IchimokuBasePeriod(0), 1);
  EXPECT_EQ(IchimokuBasePeriod(-5), 1);
  EXPECT_EQ(IchimokuBasePeriod(102), 102);
  EXPECT_EQ(IchimokuBasePeriod(1000), 1000);
  EXPECT_EQ(IchimokuBasePeriod(100000), MAX_DATE + 1);
}

struct Range {
  int from, to;
};
constexpr Range kNone = {0, -1};

struct PeriodCase {
  const char* what;
  int ashi, bars, k, t;
  Range base, conv, span1, span2, lag;
  const char* base_label;
};

// Each line's range for periods long and short, on every bar period. Only the spans' lead
// is cut, where the value slots end (a long base period over a full daily calendar).
const PeriodCase kPeriodCases[] = {
    {"defaults", 2, 100, 26, 9, {26, 99}, {26, 99}, {78, 124}, {78, 124}, {0, 74}, "基準線26週"},
    {"conversion longer", 1, 8, 2, 5, {2, 7}, {5, 7}, {7, 8}, {6, 8}, {0, 6}, "基準線 2日"},
    {"conversion beyond 2 K", 1, 8, 2, 6, {2, 7}, {6, 7}, {8, 8}, {6, 8}, {0, 6}, "基準線 2日"},
    {"history shorter than the conversion", 1, 10, 3, 20, {3, 9}, kNone, kNone, {9, 11}, {0, 7},
     "基準線 3日"},
    {"base 150 weekly, whole lead", 2, 563, 150, 9, {150, 562}, {150, 562}, {450, 711},
     {450, 711}, {0, 413}, "基準線150週"},
    {"base 500 daily, lead cut", 1, MAX_DATE, 500, 9, {500, MAX_DATE - 1}, {500, MAX_DATE - 1},
     {1500, LINE_VALUE_COUNT - 1}, {1500, LINE_VALUE_COUNT - 1}, {0, MAX_DATE - 500},
     "基準線500日"},
    {"base 1000 daily, spans beyond the slots", 1, MAX_DATE, 1000, 26, {1000, MAX_DATE - 1},
     {1000, MAX_DATE - 1}, kNone, kNone, {0, MAX_DATE - 1000}, "基準線1000日"},
    {"base 1000 monthly, longer than the history", 3, 134, 1000, 9, kNone, kNone, kNone, kNone,
     kNone, "基準線1000月"},
};

TEST(Ichimoku, LinesStartWhereTheirValuesExist) {
  for (const PeriodCase& c : kPeriodCases) {
    SCOPED_TRACE(c.what);
    std::vector<int> closes(static_cast<size_t>(c.bars));
    for (int i = 0; i < c.bars; ++i) closes[static_cast<size_t>(i)] = 1000 + (i * 37) % 101;
    auto ds = SeriesOfCloses(0, closes);
    if (c.bars == 8) ds = SeriesOfBars(0, kBars);
    auto out = Lines(ICHIMOKU_LINES);
    ASSERT_EQ(CalcIchimoku(*ds, c.ashi, c.k, c.t, out.data()), ICHIMOKU_LINES);
    const Range want[ICHIMOKU_LINES] = {c.base, c.conv, c.span1, c.span2, c.lag};
    for (int n = 0; n < ICHIMOKU_LINES; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(out[n].from, want[n].from);
      EXPECT_EQ(out[n].to, want[n].to);
      for (int i = out[n].from; i <= out[n].to; ++i) ASSERT_TRUE(LineHasValue(out[n], i)) << i;
    }
    EXPECT_STREQ(out[0].label, c.base_label);
    // The base line and span 2 never read the conversion line.
    auto plain = Lines(ICHIMOKU_LINES);
    CalcIchimoku(*ds, c.ashi, c.k, 1, plain.data());
    for (int n : {0, 3})
      for (int i = out[n].from; i <= out[n].to; ++i) ASSERT_EQ(out[n].value[i], plain[n].value[i]);
  }
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
