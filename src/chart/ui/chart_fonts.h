// The chart's fonts: "ＭＳ ゴシック" and "ＭＳ 明朝" by pixel height (the IPA faces stand in
// for them, with the same widths), never antialiased.
#pragma once

#include <QFont>
#include <QFontMetrics>

struct ChartFont {
  QFont font;
  QFontMetrics metrics;
  explicit ChartFont(const QFont& f) : font(f), metrics(f) {}
};

struct ChartFonts {
  ChartFont gothic14;  // axis, price and scale labels, high/low marks, average legends
  ChartFont gothic12;  // other legends, margin labels, stop-loss and take-profit labels
  ChartFont mincho10;  // indicator pane titles
  ChartFont mincho16;  // header line and no-data notice (weight 500)
};

// Made on first use (after the application object exists).
const ChartFonts& TheChartFonts();
// A chart font of a face and pixel height.
QFont MakeChartFont(const QString& face, int pixels, int weight = 400);
