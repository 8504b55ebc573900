// The indicator panes and price overlays as drawn, offscreen with a test palette in which
// every colour setting is distinct: each line in its colour inside its own pane, titles and
// legends where the layout puts them, the deviation bars and MACD histogram on the middle
// line and clipped to the pane, the Bollinger bands, parabolic dots, Ichimoku lines and
// cloud, and the price-band ratio.
#include <gtest/gtest.h>

#include <cstring>

#include "../chart_fixture.h"
#include "chart/chart_paint.h"
#include "chart/chart_series.h"
#include "chart/indicator_scale.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/chart_renderer.h"
#include "chart/view_shihyo.h"
#include "platform/qt/qt_codepage.h"

namespace {

constexpr int kW = 760, kH = 700;

class IndicatorRender : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    for (int i = 0; i < CLR_COUNT; ++i) *ClrTable[i].colour = Rgb(20 + 5 * i, 200 - 4 * i, (60 + 37 * i) % 256);
    fHighLowMark = 0;
  }

  // 100 days of a zig-zag around a rising trend, so that every indicator moves; bars
  // 44 ... 99 fill the 56 slots of a 760-pixel-wide window (spacing 12).
  static Hiashi* Stock(int start = 0) {
    World(100, 1);
    Hiashi* h = Show(0, start, 99);
    for (int d = start; d < 100; ++d) {
      const int base = 1000 + 4 * d + ((d % 7) < 3 ? 60 : 0) - ((d % 5) == 0 ? 40 : 0);
      Bar(h, d, base, base + 30, base - 30, base + ((d % 2) ? 10 : -10), 1000 + 37 * (d % 11));
    }
    ScrollPos[0] = 99;
    return h;
  }

  static QImage Paint(std::vector<ChartText>* log = nullptr, int w = kW, int h = kH) {
    QImage img(w, h, QImage::Format_RGB32);
    SetChartTextLog(log);
    PaintChart(&img);
    SetChartTextLog(nullptr);
    return img;
  }
  static void Show(std::initializer_list<int*> flags) {
    for (int* f : flags) *f = 1;
    RebuildViewShihyo();
  }
  using ChartTest::Show;

  static QRgb C(int32_t colour) { return PixelOf(colour); }
  static int Count(const QImage& img, QRgb c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x) n += img.pixel(x, y) == c;
    return n;
  }
  static int PaneTop(int j) { return PaneBottom(Metrics, j) - Metrics.PaneH; }
  static const IndicatorLine* Line(const char* short_label) {
    for (int k = 0; k < nChartLine; ++k)
      if (std::strcmp(ChartLines[k].short_label, short_label) == 0) return &ChartLines[k];
    return nullptr;
  }
};

const ChartText* Find(const std::vector<ChartText>& log, const QString& text) {
  for (const ChartText& t : log)
    if (t.text == text) return &t;
  return nullptr;
}

// Each kind alone: its pane below the volume pane, the title boxed at the pane's top, the
// first legend 18 pixels below the top in the line's colour, and every line's colour
// inside the pane and nowhere below the price pane outside it.
TEST_F(IndicatorRender, EachPaneAloneWithTitleLegendAndLines) {
  struct Case {
    int* flag;
    QString title;
    QString legend;
    std::vector<int32_t*> colours;
  } cases[] = {
      {&fViewPsycho, u"サイコロジカル"_qs, u"12日"_qs, {&Clr_Psycho}},
      {&fViewRCI, u"ＲＣＩ(順位相関係数)"_qs, u" 8日"_qs, {&Clr_RciShort, &Clr_RciLong}},
      {&fViewRSI, u"ＲＳＩ(相対力指数)"_qs, u" 9日"_qs, {&Clr_Rsi}},
      {&fViewDMI, u"ＤＭＩ(トレンドの強弱)"_qs, u"ADX 14日"_qs, {&Clr_DmiADX, &Clr_DmiPlus, &Clr_DmiMinus}},
      {&fViewVR, u"ボリュームレシオ"_qs, u"14日"_qs, {&Clr_Volume}},
      {&fViewStoc, u"ストキャスティクス 5日"_qs, u"%K"_qs, {&Clr_Stoc_K, &Clr_Stoc_D, &Clr_Stoc_SD}},
      {&fViewKairi, u"乖離率"_qs, u"対25日平均"_qs, {&Clr_KairiPlus, &Clr_KairiMinus}},
      {&fViewMACD, u"ＭＡＣＤ"_qs, u"MACD 5日-20日"_qs, {&Clr_MACD_MACD, &Clr_MACD_Kijun}},
  };
  for (const Case& c : cases) {
    SetUp();
    Stock();
    Kairi[0] = 25;
    Show({c.flag});
    std::vector<ChartText> log;
    const QImage img = Paint(&log);
    ASSERT_EQ(Metrics.nPanes, 1) << c.title.toStdString();
    const int top = PaneTop(0), bottom = PaneBottom(Metrics, 0);
    const ChartText* title = Find(log, c.title);
    ASSERT_NE(title, nullptr) << c.title.toStdString();
    EXPECT_EQ(title->x, 2);
    EXPECT_EQ(title->y, top + 4);
    EXPECT_EQ(title->pixels, 10);
    EXPECT_EQ(img.pixel(0, top + 2), C(Clr_ChartMoji)) << c.title.toStdString();  // the title's box
    const ChartText* legend = Find(log, c.legend);
    ASSERT_NE(legend, nullptr) << c.legend.toStdString();
    EXPECT_EQ(legend->x, 0);
    EXPECT_EQ(legend->y, top + 18) << c.title.toStdString();
    EXPECT_EQ(legend->pixels, 12);
    for (int32_t* colour : c.colours) {
      // Lines over the bars' columns (x >= 60 keeps clear of the legends).
      EXPECT_GT(Count(img, C(*colour), 60, top, Metrics.ChartW, bottom), 4) << c.title.toStdString();
      EXPECT_EQ(Count(img, C(*colour), 0, 0, kW, top), 0) << c.title.toStdString();
    }
  }
}

// Several at once, in the order switched on: each pane's lines stay inside its own pane.
TEST_F(IndicatorRender, SeveralPanesInTheirOrder) {
  Stock();
  Show({&fViewRSI});
  Show({&fViewMACD});
  Show({&fViewRCI});
  MACDHist = 1;
  std::vector<ChartText> log;
  const QImage img = Paint(&log);
  ASSERT_EQ(Metrics.nPanes, 3);
  const QString titles[3] = {u"ＲＳＩ(相対力指数)"_qs, u"ＭＡＣＤ"_qs, u"ＲＣＩ(順位相関係数)"_qs};
  const int32_t colours[3] = {Clr_Rsi, Clr_MACD_MACD, Clr_RciLong};
  for (int j = 0; j < 3; ++j) {
    const ChartText* t = Find(log, titles[j]);
    ASSERT_NE(t, nullptr) << j;
    EXPECT_EQ(t->y, PaneTop(j) + 4);
    for (int k = 0; k < 3; ++k) {
      const int n = Count(img, C(colours[k]), 60, PaneTop(j) + 1, Metrics.ChartW, PaneBottom(Metrics, j));
      if (k == j) EXPECT_GT(n, 20) << j;
      else EXPECT_EQ(n, 0) << j << " " << k;
    }
  }
  // The MACD histogram stands on its pane's middle line; the legends one and two rows lower.
  EXPECT_GT(Count(img, C(Clr_MACD_Hist), 60, PaneTop(1), Metrics.ChartW, PaneBottom(Metrics, 1)), 20);
  EXPECT_EQ(Find(log, u"シグナル 9日"_qs)->y, PaneTop(1) + 18 + 12);
  EXPECT_EQ(Find(log, u"ヒストグラム"_qs)->y, PaneTop(1) + 18 + 24);
}

// A flat price: the MACD line lies on the pane's middle line, labelled 0 with m = 1.
TEST_F(IndicatorRender, FlatMacdOnTheMiddleLine) {
  World(100, 1);
  Hiashi* h = ChartTest::Show(0, 0, 99);
  for (int d = 0; d < 100; ++d) Bar(h, d, 1000, 1010, 990, 1000, 1000);
  ScrollPos[0] = 99;
  Show({&fViewMACD});
  std::vector<ChartText> log;
  const QImage img = Paint(&log);
  EXPECT_DOUBLE_EQ(Metrics.MacdMax, 1.0);
  const int mid = MacdMiddleY(PaneBottom(Metrics, 0), Metrics.PaneH);
  // MACD and its signal share the row; the dotted signal, drawn last, covers it with its
  // dots and background-coloured gaps.
  const int x0 = CentreX(Metrics, 60);
  EXPECT_GT(Count(img, C(Clr_MACD_Kijun), x0, mid, Metrics.ChartW, mid + 1), 100);
  EXPECT_EQ(Count(img, C(Clr_MACD_Kijun), x0, 0, kW, mid) + Count(img, C(Clr_MACD_Kijun), x0, mid + 1, kW, kH), 0);
  EXPECT_EQ(Count(img, C(Clr_MACD_MACD), x0, 0, kW, kH), 0);
  int zeros = 0;
  for (const ChartText& t : log) zeros += t.text == u"      0"_qs && t.y == mid - 6;
  EXPECT_EQ(zeros, 1);
}

// The deviation-rate bars: from the middle line up for a rise, down for a fall, ±20 %
// filling half the pane, a larger deviation cut at the pane's edge.
TEST_F(IndicatorRender, DeviationBarsStandOnTheMiddleAndAreClipped) {
  World(100, 1);
  Hiashi* h = ChartTest::Show(0, 0, 99);
  for (int d = 0; d < 100; ++d) Bar(h, d, 1000, 1000, 1000, 1000, 1000);
  Bar(h, 90, 1100, 1100, 1100, 1100, 1000);  // +10 % over the 5-day average 1000 ... then
  Bar(h, 95, 2000, 2000, 2000, 2000, 1000);  // far beyond +20 %
  Bar(h, 97, 900, 900, 900, 900, 1000);
  ScrollPos[0] = 99;
  Kairi[0] = 5;
  Show({&fViewKairi});
  std::vector<ChartText> log;
  const QImage img = Paint(&log);
  const int bottom = PaneBottom(Metrics, 0), top = PaneTop(0), half = Metrics.PaneH / 2;
  const int mid = bottom - half;
  const IndicatorLine* k = Line("乖離率");
  ASSERT_NE(k, nullptr);
  const auto x = [](int bar) { return CentreX(Metrics, bar); };
  // Bar 90: the average of bars 86 ... 90 is 1020, the rate 80 / 1020 = 7.84 %.
  EXPECT_NEAR(k->value[90], 7.843, 0.001);
  const int rise = static_cast<int>(half * k->value[90] / 20);
  EXPECT_EQ(img.pixel(x(90), mid - 1), C(Clr_KairiPlus));
  EXPECT_EQ(img.pixel(x(90), mid - rise), C(Clr_KairiPlus));
  EXPECT_NE(img.pixel(x(90), mid - rise - 1), C(Clr_KairiPlus));
  EXPECT_EQ(img.pixel(x(90) - 1, mid - 1), C(Clr_KairiPlus));  // spacing div 8 = 1 each side, + 2
  EXPECT_EQ(img.pixel(x(90) + 2, mid - 1), C(Clr_KairiPlus));
  EXPECT_NE(img.pixel(x(90) + 3, mid - 1), C(Clr_KairiPlus));
  // Bar 95: clipped at the pane's top, nothing over the pane above.
  EXPECT_EQ(img.pixel(x(95), top + 1), C(Clr_KairiPlus));
  EXPECT_EQ(Count(img, C(Clr_KairiPlus), 0, 0, kW, top), 0);
  // Bar 97 falls: a bar below the middle line.
  EXPECT_LT(k->value[97], 0);
  EXPECT_EQ(img.pixel(x(97), mid + 2), C(Clr_KairiMinus));
  EXPECT_EQ(img.pixel(x(97), mid - 2), C(Clr_ChartBackGround));
  // The scale reads -20 ... 20, with "%" after the top label.
  ASSERT_NE(Find(log, u"     20"_qs), nullptr);
  EXPECT_EQ(Find(log, u"     20"_qs)->y, top - 6);
  ASSERT_NE(Find(log, u"    -20"_qs), nullptr);
  EXPECT_EQ(Find(log, u"    -20"_qs)->y, bottom - 6);
}

// Bollinger bands: dotted lines in the first average's colour above and below it; six with
// every level, none with Ichimoku on (the bands need the average it replaces).
TEST_F(IndicatorRender, BollingerBandsAroundTheFirstAverage) {
  Stock();
  DayMoveAve[0] = 5;
  fViewBollinger = 1;
  Bollinger = 7;
  Paint();
  int bands = 0;
  for (int k = 0; k < nChartLine; ++k) bands += ChartLines[k].short_label[0] == 'B';
  EXPECT_EQ(bands, 6);
  const IndicatorLine* up = Line("BB+3δ");
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(up->pen_style, PEN_DOT);
  // The band's pixels between bars 70 and 71 (a dotted line: look along its run).
  const int y70 = PriceY(Metrics, up->value[70]), y71 = PriceY(Metrics, up->value[71]);
  const QImage img = Paint();
  const int lo = std::min(y70, y71) - 1, hi = std::max(y70, y71) + 2;
  EXPECT_GT(Count(img, C(Clr_AvgShort), (70 - 44) * 12 + 6, lo, (71 - 44) * 12 + 6, hi), 0);
  EXPECT_LT(y70, PriceY(Metrics, ChartLines[0].value[70]));
  fViewIchimoku = 1;
  Paint();
  EXPECT_EQ(Line("BB+3δ"), nullptr);
}

// Parabolic dots: the first bar's dot lies at its high (the first bar always reverses).
TEST_F(IndicatorRender, ParabolicFirstDotAtTheFirstHigh) {
  Hiashi* h = Stock(50);
  fViewParabolic = 1;
  const QImage img = Paint();
  const int c = CentreX(Metrics, 50);
  const int y = PriceY(Metrics, Packed_to_Value(h->high[50]));
  EXPECT_EQ(img.pixel(c + 4, y), C(Clr_Parabolic));  // beside the candle's body, inside the dot
  EXPECT_EQ(img.pixel(c - 4, y), C(Clr_Parabolic));
  EXPECT_NE(img.pixel(c + 7, y), C(Clr_Parabolic));  // radius 12 * 3 / 7 = 5
  EXPECT_GT(Count(img, C(Clr_Parabolic), c + 7, 36, Metrics.ChartW, Metrics.PriceBottom), 100);
}

// Ichimoku: the averages replaced by base, conversion, span 2 and lagging lines with their
// legends at the right; span 1 only as the cloud's edge; the cloud runs on past the last
// bar into the 25 empty slots.
TEST_F(IndicatorRender, IchimokuLinesLegendsAndCloud) {
  World(200, 1);
  Hiashi* h = ChartTest::Show(0, 0, 199);
  for (int d = 0; d < 200; ++d) {
    const int p = 1000 + (d < 120 ? 3 * d : 360 - 5 * (d - 120));
    Bar(h, d, p, p + 20, p - 20, p + 5, 1000);
  }
  fViewIchimoku = 1;
  ChartOnStartup();
  std::vector<ChartText> log;
  const QImage img = Paint(&log);
  EXPECT_EQ(Metrics.DispEnd, 199);
  const QString legends[5] = {u"基準線26日"_qs, u"転換線 9日"_qs, u"先行スパン1"_qs, u"抵抗帯雲"_qs, u"遅行スパン"_qs};
  for (int k = 0; k < 5; ++k) {
    const ChartText* t = Find(log, legends[k]);
    if (k == 2) {
      EXPECT_EQ(t, nullptr);
      continue;
    }
    ASSERT_NE(t, nullptr) << k;
    EXPECT_EQ(t->x, kW - 70);
    EXPECT_EQ(t->y, 20 + 12 * k);
    EXPECT_EQ(t->pixels, 12);
  }
  EXPECT_EQ(Find(log, u"  5日平均"_qs), nullptr);
  // Cloud pixels right of the last bar's slot, in the spans' colours only.
  const int right = (199 - Metrics.DispStart) * Metrics.Spacing + Metrics.BarX0 + Metrics.Spacing;
  const int cloud = Count(img, C(Clr_IchimokuKumoUe), right, 36, Metrics.ChartW, Metrics.PriceBottom) +
                    Count(img, C(Clr_IchimokuKumoSita), right, 36, Metrics.ChartW, Metrics.PriceBottom);
  EXPECT_GT(cloud, 200);
  EXPECT_GT(Count(img, C(Clr_IchimokuKijun), 0, 36, Metrics.ChartW, Metrics.PriceBottom), 50);
  EXPECT_GT(Count(img, C(Clr_IchimokuChiko), 0, 36, Metrics.ChartW, Metrics.PriceBottom), 50);
  // The price labels keep clear of the legends: none above y 90.
  for (const ChartText& t : log)
    if (t.x == Metrics.ChartW + 16 && t.y + 6 < 90 && t.y + 6 < Metrics.PriceBottom) ADD_FAILURE() << t.y;
}

// Price-band ratio: bars with high = low put their whole volume in the band of their price;
// the largest band's line runs ChartW - 60 pixels, width 2, at the band's middle.
TEST_F(IndicatorRender, PriceBandRatioLines) {
  World(100, 1);
  Hiashi* h = ChartTest::Show(0, 0, 99);
  for (int d = 0; d < 100; ++d) Bar(h, d, 1000, 1000, 1000, 1000, 100);
  Bar(h, 60, 1200, 1200, 1200, 1200, 100);
  Bar(h, 61, 1200, 1200, 1200, 1200, 100);
  ScrollPos[0] = 99;
  DayMoveAve[0] = DayMoveAve[1] = 5;  // averages back at 1000 long before the probes
  fViewKakakutai = 1;
  const QImage img = Paint();
  ASSERT_EQ(Metrics.MinLow, 1000);
  ASSERT_EQ(Metrics.MaxHigh, 1200);
  // Band 0 (1000 ... 1010) holds 54 bars, band 19 (1190 ... 1200) two.
  const int y0 = Metrics.PriceBottom - static_cast<int>(5 / Metrics.PricePerDot);
  const int len = Metrics.ChartW - 60;
  EXPECT_EQ(img.pixel(len - 1, y0), C(Clr_Kakakutai));
  EXPECT_EQ(img.pixel(len - 1, y0 - 1), C(Clr_Kakakutai));
  EXPECT_NE(img.pixel(len + 1, y0), C(Clr_Kakakutai));
  const int y19 = Metrics.PriceBottom - static_cast<int>(195 / Metrics.PricePerDot);
  const int len19 = static_cast<int>(len * 2.0 / 54);
  EXPECT_EQ(img.pixel(len19 - 1, y19), C(Clr_Kakakutai));
  EXPECT_NE(img.pixel(len19 + 2, y19), C(Clr_Kakakutai));
  // No other band has volume: no line in any other row.
  int stray = 0;
  for (int y = 36; y < Metrics.PriceBottom; ++y)
    if (y != y0 && y != y0 - 1 && y != y19 && y != y19 - 1) stray += Count(img, C(Clr_Kakakutai), 0, y, kW, y + 1);
  EXPECT_EQ(stray, 0);
}

}  // namespace
