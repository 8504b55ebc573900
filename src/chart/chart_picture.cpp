#include "chart/chart_picture.h"

#include <map>

#include "platform/diagnostics.h"

void LogChartCapture(const HostImage& image) {
  const int w = image.width, h = image.height;
  PRT("BMP幅 = %d, BMP高さ = %d\nbiBitCount = %d, biClrUsed = %d\nbiSizeImage = %d, bOffBits = %d\n", w, h, 32, 0,
      h * w * 4, 0);
}

uint32_t ReduceToTwoColours(HostImage* image) {
  std::map<uint32_t, int> count;  // ordered: the lowest colour first among equal counts
  for (uint32_t p : image->pixels) ++count[p & 0xFFFFFF];
  uint32_t back = 0;
  int most = -1;
  for (const auto& [colour, n] : count) {
    PRT("count[%06x]=%d\n", colour, n);
    if (n > most) {
      most = n;
      back = colour;
    }
  }
  PRT("back_n=%06x,max=%d\n", back, most < 0 ? 0 : most);
  PRT("nBytes=%d,dx,dy=%d,%d, back_c=%06x\n", static_cast<int>(image->pixels.size()), image->width, image->height,
      back);
  for (uint32_t& p : image->pixels) p = (p & 0xFFFFFF) == back ? 0xFFFFFFFFu : 0xFF000000u;
  return back;
}
