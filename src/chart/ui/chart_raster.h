// Pixel helpers for the chart's memory image (RGB32) with the drawing rules the chart was
// laid out for: a rectangle covers left <= x < right and top <= y < bottom (its right and
// bottom edge are left out), a line leaves out its end point, dotted lines draw three
// pixels on and three off with the gaps in the background colour, nothing is antialiased.
#pragma once

#include <QImage>
#include <cstdint>

// A colour setting (blue * 65536 + green * 256 + red) as an RGB32 pixel.
inline QRgb PixelOf(int32_t c) {
  return 0xFF000000u | (static_cast<uint32_t>(c & 0xFF) << 16) | static_cast<uint32_t>(c & 0xFF00) |
         static_cast<uint32_t>((c >> 16) & 0xFF);
}

class ChartRaster {
 public:
  explicit ChartRaster(QImage* image);
  int Width() const { return w_; }
  int Height() const { return h_; }
  void Pixel(int x, int y, QRgb c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) row(y)[x] = c;
  }
  // Fills left <= x < right, top <= y < bottom (the corners in either order).
  void FillRect(int left, int top, int right, int bottom, QRgb c);
  // A rectangle outlined with the pen colour and filled with the brush colour, over the
  // same pixels as FillRect.
  void Rectangle(int left, int top, int right, int bottom, QRgb pen, QRgb brush);
  // A one-pixel line from (x0, y0) up to, not including, (x1, y1).
  void Line(int x0, int y0, int x1, int y1, QRgb c);
  // A dotted one-pixel line; the gaps take the background colour. phase carries the
  // pattern from one segment of a polyline to the next.
  void DottedLine(int x0, int y0, int x1, int y1, QRgb c, QRgb background, int* phase = nullptr);
  // The same dots with the gaps left as they are (a transparent background).
  void Dots(int x0, int y0, int x1, int y1, QRgb c, int* phase = nullptr);
  // XOR of a one-pixel line with a colour (drawing it twice restores the image).
  void XorLine(int x0, int y0, int x1, int y1, QRgb c, int width);
  // XOR of a dotted one-pixel line: the dots with the pen colour, the gaps with the
  // background colour, so the line shows on any background and drawing it again restores
  // the image.
  void XorDottedLine(int x0, int y0, int x1, int y1, QRgb c, QRgb background);

 private:
  QRgb* row(int y) { return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bpl_); }
  template <typename Plot>
  void Walk(int x0, int y0, int x1, int y1, Plot plot);
  uchar* bits_;
  qsizetype bpl_;
  int w_, h_;
};
