#include "chart/indicators/dmi.h"

#include <gtest/gtest.h>

#include "series_fixture.h"

namespace {

// high, low, close, volume. Directional moves and true ranges of bars 1 ... 5 (N = 2):
// +DM 2 0 2 1 0, -DM 0 2 0 0 2, TR 3 4 5 2 4.
const std::vector<FixtureBar> kBars = {{10, 8, 9, 0},   {12, 9, 11, 0},  {11, 7, 8, 0},
                                       {13, 10, 12, 0}, {14, 12, 13, 0}, {14, 10, 11, 0}};

TEST(Dmi, HandComputed) {
  for (int first : {0, 9}) {
    SCOPED_TRACE(first);
    auto ds = SeriesOfBars(first, kBars);
    ds->DispStart = first + 5;  // the first bar does not depend on DispStart
    auto out = Lines(DMI_LINES);
    ASSERT_EQ(CalcDMI(*ds, 1, 2, out.data()), DMI_LINES);
    const int f = first + 2;  // the window's first change compares with the first day
    ExpectLine(
        out[1],
        {f,
         f + 3,
         {{f, 100.0 * 2 / 7}, {f + 1, 100.0 * 2 / 9}, {f + 2, 100.0 * 3 / 7}, {f + 3, 100.0 / 6}}},
        "+DI");
    ExpectLine(out[2], {f, f + 3, {{f, 100.0 * 2 / 7}, {f + 2, 0}, {f + 3, 100.0 * 2 / 6}}}, "-DI");
    // DX: 0, 0, 100, 100/3; ADX starts N bars after +DI.
    ExpectLine(out[0], {f + 2, f + 3, {{f + 2, 50}, {f + 3, (100 + 100.0 / 3) / 2}}}, "ADX");
  }
}

TEST(Dmi, FlatBarsGiveZeroNotNaN) {
  auto ds = SeriesOfCloses(0, {50, 50, 50, 50, 50, 50, 50});
  auto out = Lines(DMI_LINES);
  CalcDMI(*ds, 1, 2, out.data());
  for (int k = 0; k < DMI_LINES; ++k)
    for (int i = out[k].from; i <= out[k].to; ++i) EXPECT_EQ(out[k].value[i], 0) << k << " " << i;
  EXPECT_EQ(out[0].from, 4);
}

TEST(Dmi, Presentation) {
  auto ds = SeriesOfBars(0, kBars);
  auto out = Lines(DMI_LINES);
  CalcDMI(*ds, 3, 14, out.data());
  EXPECT_STREQ(out[0].label, "ADX 14月");
  EXPECT_STREQ(out[1].label, "+DI 14月");
  EXPECT_STREQ(out[2].label, "-DI 14月");
  EXPECT_STREQ(out[0].short_label, "DMI ADX");
  EXPECT_STREQ(out[2].short_label, "DMI -DI");
  EXPECT_EQ(out[0].pen_style, PEN_DOT);
  EXPECT_EQ(out[2].label_row, 2);
  EXPECT_TRUE(IsEmpty(out[0]));  // window longer than the history
}

}  // namespace
