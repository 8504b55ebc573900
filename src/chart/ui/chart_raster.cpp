#include "chart/ui/chart_raster.h"

#include <algorithm>
#include <cstdlib>

ChartRaster::ChartRaster(QImage* image)
    : bits_(image->bits()), bpl_(image->bytesPerLine()), w_(image->width()), h_(image->height()) {}

void ChartRaster::FillRect(int left, int top, int right, int bottom, QRgb c) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, w_);
  bottom = std::min(bottom, h_);
  if (left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y) std::fill(row(y) + left, row(y) + right, c);
}

void ChartRaster::Rectangle(int left, int top, int right, int bottom, QRgb pen, QRgb brush) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left >= right || top >= bottom) return;
  FillRect(left, top, right, bottom, pen);
  // Two pixels or less across: all outline.
  if (right - left > 2 && bottom - top > 2) FillRect(left + 1, top + 1, right - 1, bottom - 1, brush);
}

template <typename Plot>
void ChartRaster::Walk(int x0, int y0, int x1, int y1, Plot plot) {
  // Both ends beyond the same edge: nothing of the line is visible.
  if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= w_ && x1 >= w_) || (y0 >= h_ && y1 >= h_))
    return;
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    plot(x0, y0);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void ChartRaster::Line(int x0, int y0, int x1, int y1, QRgb c) {
  if (y0 == y1) {  // the common case: grid and scale lines
    if (y0 < 0 || y0 >= h_ || x0 == x1) return;
    const int a = x0 < x1 ? x0 : x1 + 1, b = x0 < x1 ? x1 : x0 + 1;  // [a, b)
    const int l = std::max(a, 0), r = std::min(b, w_);
    if (l < r) std::fill(row(y0) + l, row(y0) + r, c);
    return;
  }
  if (x0 == x1) {
    if (x0 < 0 || x0 >= w_) return;
    const int a = y0 < y1 ? y0 : y1 + 1, b = y0 < y1 ? y1 : y0 + 1;
    const int t = std::max(a, 0), e = std::min(b, h_);
    for (int y = t; y < e; ++y) row(y)[x0] = c;
    return;
  }
  Walk(x0, y0, x1, y1, [&](int x, int y) { Pixel(x, y, c); });
}

void ChartRaster::DottedLine(int x0, int y0, int x1, int y1, QRgb c, QRgb background, int* phase) {
  int local = 0;
  int& k = phase ? *phase : local;
  Walk(x0, y0, x1, y1, [&](int x, int y) {
    Pixel(x, y, (k % 6) < 3 ? c : background);
    k = (k + 1) % 6;
  });
}

void ChartRaster::Dots(int x0, int y0, int x1, int y1, QRgb c, int* phase) {
  int local = 0;
  int& k = phase ? *phase : local;
  Walk(x0, y0, x1, y1, [&](int x, int y) {
    if ((k % 6) < 3) Pixel(x, y, c);
    k = (k + 1) % 6;
  });
}

void ChartRaster::XorLine(int x0, int y0, int x1, int y1, QRgb c, int width) {
  const QRgb mask = c & 0x00FFFFFFu;
  // A wide pen as a span across the line's main direction, so that every pixel is
  // inverted once and drawing the line again restores it.
  const bool flat = std::abs(x1 - x0) >= std::abs(y1 - y0);
  Walk(x0, y0, x1, y1, [&](int x, int y) {
    for (int j = 0; j < width; ++j) {
      const int px = flat ? x : x + j, py = flat ? y + j : y;
      if (px >= 0 && py >= 0 && px < w_ && py < h_) row(py)[px] ^= mask;
    }
  });
}

void ChartRaster::XorDottedLine(int x0, int y0, int x1, int y1, QRgb c, QRgb background) {
  const QRgb on = c & 0x00FFFFFFu, off = background & 0x00FFFFFFu;
  int k = 0;
  Walk(x0, y0, x1, y1, [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) row(y)[x] ^= (k % 6) < 3 ? on : off;
    k = (k + 1) % 6;
  });
}
