// The candlestick renderer, offscreen with a test palette in which every colour setting
// is distinct: pixels where the layout rules put them, the colours that appear, the texts
// drawn and where.
#include "chart/ui/chart_renderer.h"

#include <QMenu>
#include <gtest/gtest.h>

#include <set>

#include "../chart_fixture.h"
#include "chart/chart_series.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/chart_window.h"
#include "chart/view_shihyo.h"
#include "db/trading_calendar.h"
#include "platform/hooks.h"
#include "platform/qt/qt_codepage.h"

namespace {

class ChartRender : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    for (int i = 0; i < CLR_COUNT; ++i) *ClrTable[i].colour = Rgb(20 + 5 * i, 200 - 4 * i, (60 + 37 * i) % 256);
  }

  // 100 days; bars 44 ... 99 fill the 56 slots of a 760 x 500 window (spacing 12). The
  // shown range 1000 ... 1658 over 329 rows is 2 yen a pixel; the largest volume 8400
  // units over 84 rows is 100 units a pixel.
  static Hiashi* StandardStock() {
    World(100, 1);
    Hiashi* h = Show(0, 0, 99, FLAG_MARGIN);
    for (int d = 0; d < 100; ++d) Bar(h, d, 1300, 1400, 1200, 1320, 420000, 100000, 250000);
    Bar(h, 46, 1300, 1650, 1200, 1320, 420000, 100000, 250000);  // among the first five shown
    Bar(h, 50, 1320, 1400, 1200, 1300, 420000, 100000, 250000);  // falling
    Bar(h, 52, 1310, 1310, 1310, 1310, 420000, 100000, 250000);  // doji without a wick
    h->high[60] = Value_to_Packed(1658);
    h->low[70] = Value_to_Packed(1000);
    h->deki[80] = Value_to_Packed(840000);
    DayMoveAve[0] = 5;
    DayMoveAve[1] = 0;  // no second line (its legend stays)
    ScrollPos[0] = 99;
    return h;
  }

  static QImage Paint(int w, int h, std::vector<ChartText>* log = nullptr) {
    QImage img(w, h, QImage::Format_RGB32);
    SetChartTextLog(log);
    PaintChart(&img);
    SetChartTextLog(nullptr);
    return img;
  }

  static QRgb C(int32_t colour) { return PixelOf(colour); }
  static int Centre(int bar) { return (bar - 44) * 12 + 6; }
};

const ChartText* Find(const std::vector<ChartText>& log, const QString& text) {
  for (const ChartText& t : log)
    if (t.text == text) return &t;
  return nullptr;
}

TEST_F(ChartRender, PixelsWhereTheLayoutPutsThem) {
  StandardStock();
  const QImage img = Paint(760, 500);
  ASSERT_EQ(Metrics.PriceBottom, 364);
  ASSERT_DOUBLE_EQ(Metrics.PricePerDot, 2.0);
  ASSERT_DOUBLE_EQ(Metrics.DekiPerDot, 100.0);
  auto px = [&](int x, int y) { return img.pixel(x, y); };
  // Rising candle at bar 46: body rows 204 ... 213 (1320 and 1300), columns c-3 ... c+3.
  const int c = Centre(46);
  EXPECT_EQ(px(c - 3, 208), C(Clr_Ashisen));  // outline
  EXPECT_EQ(px(c + 3, 208), C(Clr_Ashisen));
  EXPECT_EQ(px(c, 204), C(Clr_Ashisen));
  EXPECT_EQ(px(c, 213), C(Clr_Ashisen));
  EXPECT_EQ(px(c - 1, 208), C(Clr_Yousen));   // body
  EXPECT_EQ(px(c - 4, 208), C(Clr_ChartBackGround));  // 7 pixels wide, no more
  EXPECT_EQ(px(c + 4, 208), C(Clr_ChartBackGround));
  EXPECT_EQ(px(c, 214), C(Clr_Ashisen));   // the wick goes on below the body ...
  EXPECT_EQ(px(c, 263), C(Clr_Ashisen));
  EXPECT_NE(px(c, 264), C(Clr_Ashisen));   // ... and leaves out its end point (the low)
  EXPECT_EQ(px(c, 39), C(Clr_Ashisen));    // its high, 1650
  // Falling candle at bar 50.
  const int f = Centre(50);
  EXPECT_EQ(px(f - 3, 208), C(Clr_AshiInsen));
  EXPECT_EQ(px(f, 208), C(Clr_Insen));
  // Doji: one row raised above its price (1310 -> 209), no wick.
  const int d = Centre(52);
  EXPECT_EQ(px(d, 208), C(Clr_Ashisen));
  EXPECT_EQ(px(d - 3, 208), C(Clr_Ashisen));
  EXPECT_EQ(px(d + 3, 208), C(Clr_Ashisen));
  EXPECT_EQ(px(d + 4, 208), C(Clr_ChartBackGround));
  EXPECT_EQ(px(d, 209), C(Clr_ChartBackGround));
  // Volume bar: 4200 units = 42 rows on the line y = 480, columns c-2 ... c+1.
  EXPECT_EQ(px(c, 479), C(Clr_Dekidaka));
  EXPECT_EQ(px(c - 2, 438), C(Clr_Dekidaka));
  EXPECT_EQ(px(c + 1, 438), C(Clr_Dekidaka));
  EXPECT_NE(px(c + 2, 460), C(Clr_Dekidaka));
  EXPECT_NE(px(c, 437), C(Clr_Dekidaka));
  EXPECT_NE(px(c, 480), C(Clr_Dekidaka));
  // Margin balances between the bars: buy 2500 units at y 455, sell 1000 at 470.
  EXPECT_EQ(px(c + 6, 455), C(Clr_ShinyoKai));
  EXPECT_EQ(px(c + 6, 470), C(Clr_ShinyoUri));
  // The 5-bar average of the steady close 1320, between two bars (y 204).
  EXPECT_EQ(px(c + 6, 204), C(Clr_AvgShort));
  // Price grid at 1200 (y 264), dotted three on, three off, across the plotting area.
  EXPECT_EQ(px(0, 264), C(Clr_ChartMemori));
  EXPECT_EQ(px(3, 264), C(Clr_ChartBackGround));
  EXPECT_EQ(px(679, 264), C(Clr_ChartMemori));  // 679 % 6 = 1: on, but the end point ...
  EXPECT_NE(px(680, 264), C(Clr_ChartMemori));      // ... 680 is left out
}

// The stop-loss (1100) and take-profit (1600) lines of the stock's alert, from the alerts'
// provider; a level within 10 pixels of the pane's bottom (1015) is left out.
TEST_F(ChartRender, AlertLimitLines) {
  StandardStock();
  static int stop_loss;
  stop_loss = 1100;
  AlarumLimitsHook = [](int code, int* sl, int* tp) {
    if (code != ChartRecordCode) return 0;
    *sl = stop_loss;
    *tp = 1600;
    return 3;
  };
  std::vector<ChartText> log;
  QImage img = Paint(760, 500, &log);
  const int w = Metrics.ChartW;
  // y = 364 - (level - 1000) / 2.
  EXPECT_EQ(img.pixel(1, 314), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(w - 1, 314), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(1, 64), qRgb(0, 255, 0));
  EXPECT_NE(img.pixel(1, 313), qRgb(255, 0, 0));
  const ChartText* sl = Find(log, u"損切り"_qs);
  ASSERT_NE(sl, nullptr);
  EXPECT_EQ(sl->x, w + 2);
  EXPECT_EQ(sl->y, 308);
  ASSERT_NE(Find(log, u"利食い"_qs), nullptr);
  stop_loss = 1015;
  log.clear();
  img = Paint(760, 500, &log);
  EXPECT_NE(img.pixel(1, 357), qRgb(255, 0, 0));
  EXPECT_EQ(Find(log, u"損切り"_qs), nullptr);
  AlarumLimitsHook = nullptr;
}

TEST_F(ChartRender, OnlyTheDesignedColoursAppear) {
  StandardStock();
  const QImage img = Paint(760, 500);
  std::set<QRgb> seen;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) seen.insert(img.pixel(x, y));
  const std::set<QRgb> expected = {
      C(Clr_ChartBackGround), C(Clr_ChartKeisenTate), C(Clr_ChartMemori), C(Clr_ChartMoji),
      C(Clr_ChartOwarine),    C(Clr_ChartKabuka),     C(Clr_Ashisen),     C(Clr_AshiInsen),
      C(Clr_Yousen),          C(Clr_Insen),           C(Clr_Dekidaka),    C(Clr_DekiMemori),
      C(Clr_AvgShort),        C(Clr_AvgMiddle),       C(Clr_ShinyoKai),   C(Clr_ShinyoUri)};
  EXPECT_EQ(seen, expected);  // text is not antialiased, nothing is blended
}

TEST_F(ChartRender, LabelsHeaderAndHighLowMarks) {
  StandardStock();
  std::vector<ChartText> log;
  Paint(760, 500, &log);
  // Price labels "%7d" at (ChartW + 16, y - 6) from y 65 down; 1600 (y 64) is not labelled.
  for (int u = 1100; u <= 1500; u += 100) {
    const ChartText* t = Find(log, QString::asprintf("%7d", u));
    ASSERT_NE(t, nullptr) << u;
    EXPECT_EQ(t->x, 696);
    EXPECT_EQ(t->y, 364 - (u - 1000) / 2 - 6);
    EXPECT_EQ(t->pixels, 14);
  }
  EXPECT_EQ(Find(log, u"   1600"_qs), nullptr);
  // Volume scale: steps of 2000 units up to 8000, "0" at the base line.
  ASSERT_NE(Find(log, u"   8000"_qs), nullptr);
  EXPECT_EQ(Find(log, u"   8000"_qs)->y, 480 - 80 - 6);
  EXPECT_EQ(Find(log, u"      0"_qs)->y, 480 - 6);
  // Header line: name, code, market, the dates of the bars shown, the last bar's volume in
  // units, the unit, open, high, low, then the close in its own colour right after.
  char from[16], to[16];
  std::snprintf(from, sizeof from, "%4d/%02d/%02d", nikkei_date[44] / 10000, nikkei_date[44] / 100 % 100,
                nikkei_date[44] % 100);
  std::snprintf(to, sizeof to, "%4d/%02d/%02d", nikkei_date[99] / 10000, nikkei_date[99] / 100 % 100,
                nikkei_date[99] % 100);
  const QString header = u"銘柄0       (7000)東証プライム "_qs + QString::fromLatin1(from) + u" ～ "_qs +
                         QString::fromLatin1(to) + u"  4200(100)株 1300,1400,1200,"_qs;
  const ChartText* h = Find(log, header);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->x, 0);
  EXPECT_EQ(h->y, 0);
  EXPECT_EQ(h->pixels, 16);
  EXPECT_EQ(h->colour, C(Clr_ChartMoji));
  const ChartText* close = Find(log, u"1320"_qs);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->colour, C(Clr_ChartOwarine));
  EXPECT_EQ(close->y, 0);
  EXPECT_GT(close->x, 300);
  // High and low marks centred over their bars; the first five bars shown are not looked
  // at (the 1650 of bar 46).
  const ChartText* hi = Find(log, u"1658"_qs);
  ASSERT_NE(hi, nullptr);
  EXPECT_EQ(hi->x, Centre(60) - 12);
  EXPECT_EQ(hi->y, 35 - 16);
  EXPECT_EQ(hi->colour, C(Clr_ChartKabuka));
  const ChartText* lo = Find(log, u"1000"_qs);
  ASSERT_NE(lo, nullptr);
  EXPECT_EQ(lo->x, Centre(70) - 12);
  EXPECT_EQ(lo->y, 364 + 4);
  EXPECT_EQ(Find(log, u"1650"_qs), nullptr);
  // Legends: averages at (W - 76, 20 + 15 k), margin labels under the price pane.
  const ChartText* a = Find(log, u"  5日平均"_qs);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->x, 684);
  EXPECT_EQ(a->y, 20);
  EXPECT_EQ(a->colour, C(Clr_AvgShort));
  EXPECT_EQ(Find(log, u"  0日平均"_qs)->y, 35);
  EXPECT_EQ(Find(log, u"信用買残"_qs)->y, 364 + 18);
  EXPECT_EQ(Find(log, u"信用売残"_qs)->y, 364 + 32);
  EXPECT_EQ(Find(log, u"信用売残"_qs)->pixels, 12);
}

TEST_F(ChartRender, HighLowMarksFollowTheSettingAndIchimoku) {
  StandardStock();
  std::vector<ChartText> log;
  fHighLowMark = 0;
  Paint(760, 500, &log);
  EXPECT_EQ(Find(log, u"1658"_qs), nullptr);
  log.clear();
  fViewIchimoku = 1;  // with the overlay on and the setting off the marks are drawn
  Paint(760, 500, &log);
  EXPECT_NE(Find(log, u"1658"_qs), nullptr);
  log.clear();
  fHighLowMark = 1;  // both on: none
  Paint(760, 500, &log);
  EXPECT_EQ(Find(log, u"1658"_qs), nullptr);
}

TEST_F(ChartRender, DateAxisMonthsOfDailyBars) {
  StandardStock();
  std::vector<ChartText> log;
  Paint(760, 500, &log);
  // Each first day of a month after the first shown gets "yy/m" at (slot - 1 - 13, MainH - 16).
  int labels = 0;
  for (int i = 45; i <= 99; ++i) {
    if (nikkei_date[i] / 100 == nikkei_date[i - 1] / 100) continue;
    const QString text = QString::asprintf("%02d/%d", nikkei_date[i] / 10000 % 100, nikkei_date[i] / 100 % 100);
    const ChartText* t = Find(log, text);
    ASSERT_NE(t, nullptr) << text.toStdString();
    EXPECT_EQ(t->x, (i - 44) * 12 - 1 - 13);
    EXPECT_EQ(t->y, 500 - 16);
    ++labels;
  }
  EXPECT_GE(labels, 2);
}

TEST_F(ChartRender, WeeklyAxisIsTheSameForTheSameState) {
  StandardStock();
  World(700, 1);
  Hiashi* h = Show(0, 0, 699);
  for (int d = 0; d < 700; ++d) Bar(h, d, 1000 + d % 50, 1100, 900, 1000 + d % 37, 100000);
  AshiFlag = 2;
  ScrollPos[1] = CalendarLastBar(2);
  std::vector<ChartText> first, again;
  const QImage a = Paint(760, 500, &first);
  ScrollPos[1] -= 13;  // another picture between ...
  Paint(760, 500);
  ScrollPos[1] += 13;  // ... and back
  const QImage b = Paint(760, 500, &again);
  EXPECT_EQ(a, b);
  ASSERT_EQ(first.size(), again.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].text, again[i].text);
  // The year changes get "yy/01".
  bool year_label = false;
  for (const ChartText& t : first) year_label |= t.text.endsWith(u"/01"_qs) && t.y == 484;
  EXPECT_TRUE(year_label);
}

TEST_F(ChartRender, StockWithoutPricesDrawsHeaderAndNotice) {
  World(100, 1);
  Show(0, 0, 0, FLAG_NO_PRICES);
  ScrollPos[0] = 99;
  std::vector<ChartText> log;
  const QImage img = Paint(760, 500, &log);
  EXPECT_FALSE(Metrics.HasBars);
  ASSERT_GE(log.size(), 3u);
  bool header = false, notice1 = false, notice2 = false;
  for (const ChartText& t : log) {
    header |= t.x == 0 && t.y == 0 && t.text.startsWith(u"銘柄0"_qs);
    notice1 |= t.y == 20 && t.text == u"この銘柄の株価データは内部に存在しません。（もしくはまだ上場されていません）"_qs;
    notice2 |= t.y == 40 && t.text == u"「株価データのダウンロード」で追加されていきます。"_qs;
  }
  EXPECT_TRUE(header);
  EXPECT_TRUE(notice1);
  EXPECT_TRUE(notice2);
  for (int y = 60; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      ASSERT_TRUE(p != C(Clr_Ashisen) && p != C(Clr_Dekidaka) && p != C(Clr_AvgShort)) << x << "," << y;
    }
}

TEST_F(ChartRender, TinyAndHugeWindowsPaint) {
  StandardStock();
  fViewRSI = fViewMACD = 1;
  RebuildViewShihyo();
  const QSize sizes[] = {{1, 1}, {80, 10}, {81, 37}, {200, 60}, {4000, 3000}};
  for (const QSize& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.width() << "x" << s.height());
    const QImage img = Paint(s.width(), s.height());
    EXPECT_EQ(img.size(), s);
    EXPECT_EQ(img.pixel(0, s.height() - 1) | 0, img.pixel(0, s.height() - 1));
  }
  // A window narrower than one bar: no bars, the header still drawn.
  std::vector<ChartText> log;
  Paint(85, 300, &log);
  EXPECT_FALSE(Metrics.HasBars);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().y, 0);
}

TEST_F(ChartRender, IndicatorPanesGetTheirScales) {
  StandardStock();
  fViewRSI = 1;
  RebuildViewShihyo();
  std::vector<ChartText> log;
  Paint(760, 500, &log);
  ASSERT_EQ(Metrics.nPanes, 1);
  const int bottom = PaneBottom(Metrics, 0);
  const ChartText* zero = nullptr;
  for (const ChartText& t : log)
    if (t.text == u"      0"_qs && t.y == bottom - 6) zero = &t;
  EXPECT_NE(zero, nullptr);
  EXPECT_NE(Find(log, u"%"_qs), nullptr);
}

TEST_F(ChartRender, ChartMenuCarriesMarksAndGreying) {
  QMenu menu;
  fHighLowMark = 1;
  fViewIchimoku = 1;
  RegisterCommandCheck(40144, [] { return fHighLowMark != 0; });
  ChartWidget::BuildChartMenu(&menu);
  ASSERT_FALSE(menu.actions().isEmpty());
  QMenu* candles = menu.actions()[0]->menu();
  ASSERT_NE(candles, nullptr);
  EXPECT_EQ(candles->title(), u"ローソク足(&L)"_qs);
  QAction* marks = nullptr;
  for (QAction* a : candles->actions())
    if (a->data().toInt() == 40144) marks = a;
  ASSERT_NE(marks, nullptr);
  EXPECT_TRUE(marks->isChecked());
  bool bollinger_greyed = false;
  for (QAction* a : menu.actions())
    if (a->data().toInt() == 40124) bollinger_greyed = !a->isEnabled();
  EXPECT_TRUE(bollinger_greyed);
}

TEST(ChartRasterRules, RectanglesAndLinesLeaveOutTheirEnds) {
  QImage img(20, 20, QImage::Format_RGB32);
  img.fill(0xFF000000u);
  ChartRaster r(&img);
  r.Rectangle(2, 2, 6, 5, 0xFFFF0000u, 0xFF00FF00u);  // covers x 2 ... 5, y 2 ... 4
  EXPECT_EQ(img.pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(img.pixel(5, 4), 0xFFFF0000u);
  EXPECT_EQ(img.pixel(3, 3), 0xFF00FF00u);
  EXPECT_EQ(img.pixel(6, 3), 0xFF000000u);
  EXPECT_EQ(img.pixel(3, 5), 0xFF000000u);
  r.Line(10, 10, 15, 13, 0xFFFFFFFFu);
  EXPECT_EQ(img.pixel(10, 10), 0xFFFFFFFFu);
  EXPECT_EQ(img.pixel(15, 13), 0xFF000000u);
  r.Line(0, 18, 4, 18, 0xFFFFFFFFu);
  EXPECT_EQ(img.pixel(3, 18), 0xFFFFFFFFu);
  EXPECT_EQ(img.pixel(4, 18), 0xFF000000u);
  // XOR twice restores the picture.
  const QImage before = img.copy();
  r.XorLine(1, 1, 18, 12, 0xFF00FFFFu, 2);
  EXPECT_NE(img, before);
  r.XorLine(1, 1, 18, 12, 0xFF00FFFFu, 2);
  EXPECT_EQ(img, before);
}

}  // namespace
