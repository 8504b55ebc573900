#include "chart/overlays/kakakutai.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

TEST(Kakakutai, HighEqualsLowGoesWhollyToItsBand) {
  // Bands of 2 from 100: 105 lies in band 2 only, 111 in band 5 only.
  auto ds = SeriesOfBars(0, {{105, 105, 105, 50}, {111, 111, 111, 30}, {105, 105, 105, 5}});
  KakakutaiBands k;
  CalcKakakutai(*ds, 100, 140, &k);
  EXPECT_EQ(k.height, 2);
  for (int b = 0; b < KAKAKUTAI_BANDS; ++b)
    EXPECT_EQ(k.band[b], b == 2 ? 55 : b == 5 ? 30 : 0) << b;
  EXPECT_EQ(k.largest, 55);
}

TEST(Kakakutai, BarAcrossBands) {
  // 103 ... 108 over bands [102,104], [104,106], [106,108]: 2, 3 and 3 of its 6 prices.
  auto ds = SeriesOfBars(0, {{108, 103, 105, 600}});
  KakakutaiBands k;
  CalcKakakutai(*ds, 100, 140, &k);
  EXPECT_DOUBLE_EQ(k.band[1], 200);
  EXPECT_DOUBLE_EQ(k.band[2], 300);
  EXPECT_DOUBLE_EQ(k.band[3], 300);
  EXPECT_DOUBLE_EQ(k.band[4], 100);  // bounds are inclusive: the high 108 also lies in [108,110]
  EXPECT_EQ(k.band[0] + k.band[5], 0);
  EXPECT_EQ(k.largest, 300);
  EXPECT_EQ(KakakutaiLineLength(k, 1, 1060), 666);
  EXPECT_EQ(KakakutaiLineLength(k, 2, 1060), 1000);
  EXPECT_EQ(KakakutaiLineLength(k, 0, 1060), 0);
  EXPECT_EQ(KakakutaiLineLength(k, 2, 40), 0);     // narrower than the label margin
  EXPECT_EQ(KakakutaiLineY(k, 1, 500, 0.5), 494);  // band middle 103
}

TEST(Kakakutai, OnlyShownBarsAndDegenerateRanges) {
  auto ds = SeriesOfBars(0, {{110, 110, 110, 1000}, {120, 120, 120, 7}});
  ds->DispStart = 1;
  KakakutaiBands k;
  CalcKakakutai(*ds, 120, 120, &k);  // one price: a range of 0
  EXPECT_EQ(k.height, 0);
  EXPECT_EQ(k.band[0], 7);
  EXPECT_EQ(k.band[19], 7);
  EXPECT_EQ(KakakutaiLineY(k, 3, 300, 0), 300);  // no scale: 1 price unit per pixel

  // A damaged bar (high below low) still spreads over its range.
  auto bad = SeriesOfBars(0, {{103, 108, 105, 600}});
  CalcKakakutai(*bad, 100, 140, &k);
  EXPECT_DOUBLE_EQ(k.band[2], 300);
}

}  // namespace
