#include "chart/ui/chart_fonts.h"

QFont MakeChartFont(const QString& face, int pixels, int weight) {
  QFont f(face);
  f.setPixelSize(pixels);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setStyleStrategy(QFont::NoAntialias);
  f.setKerning(false);
  return f;
}

const ChartFonts& TheChartFonts() {
  static const ChartFonts fonts{
      ChartFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 14)),
      ChartFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 12)),
      ChartFont(MakeChartFont(u"ＭＳ 明朝"_qs, 10)),
      ChartFont(MakeChartFont(u"ＭＳ 明朝"_qs, 16, 500)),
  };
  return fonts;
}
