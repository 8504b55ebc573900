// The two-colour reduction of printing and the black-and-white copy.
#include "chart/chart_picture.h"

#include <gtest/gtest.h>

#include <set>

namespace {

HostImage Picture(std::initializer_list<uint32_t> pixels, int width) {
  HostImage img;
  img.width = width;
  img.height = static_cast<int>(pixels.size()) / width;
  img.pixels = pixels;
  return img;
}

TEST(ReduceToTwoColours, TheMostFrequentColourTurnsWhiteEverythingElseBlack) {
  constexpr uint32_t bg = 0xFF000080, red = 0xFFFF0000, text = 0xFFFFFFFF;
  HostImage img = Picture({bg, bg, bg, red, text, bg, bg, red}, 4);
  EXPECT_EQ(ReduceToTwoColours(&img), 0x000080u);
  const std::vector<uint32_t> want = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000,
                                      0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
  EXPECT_EQ(img.pixels, want);
  // A colour that covers most of the picture turns white, the background black.
  img = Picture({red, red, red, bg}, 2);
  ReduceToTwoColours(&img);
  EXPECT_EQ(img.pixels[3], 0xFF000000u);
  EXPECT_EQ(img.pixels[0], 0xFFFFFFFFu);
  // Equal counts: the lower colour value wins.
  img = Picture({red, bg}, 2);
  EXPECT_EQ(ReduceToTwoColours(&img), 0x000080u);
  std::set<uint32_t> colours(img.pixels.begin(), img.pixels.end());
  EXPECT_EQ(colours.size(), 2u);
}

}  // namespace
