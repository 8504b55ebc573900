#include "chart/ui/chart_renderer.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "chart/bar_date.h"
#include "chart/chart_layout.h"
#include "chart/chart_paint.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/indicator_scale.h"
#include "chart/overlays/kakakutai.h"
#include "chart/view_shihyo.h"
#include "chart/ui/chart_fonts.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/cross_window.h"
#include "chart/cross_cursor.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "db/trading_calendar.h"
#include "platform/qt/qt_codepage.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "chart/shown_stock.h"

namespace {

std::vector<ChartText>* g_log = nullptr;

// The drawing context of one paint.
struct Canvas {
  ChartRaster raster;
  QPainter painter;
  QRgb background;
  const ChartMetrics& m;
  const DispSeries& ds;
  Canvas(QImage* img, const ChartMetrics& metrics, const DispSeries& series)
      : raster(img), painter(img), background(PixelOf(Clr_ChartBackGround)), m(metrics), ds(series) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
  }
};

// Text drawn opaque (the cell in the background colour) from its top-left corner; returns
// its width.
int Text(Canvas& c, const ChartFont& f, int x, int y, const QString& s, int32_t colour) {
  if (s.isEmpty()) return 0;
  const int w = f.metrics.horizontalAdvance(s);
  const QRgb fg = PixelOf(colour);
  c.raster.FillRect(x, y, x + w, y + f.metrics.height(), c.background);
  c.painter.setFont(f.font);
  c.painter.setPen(QColor::fromRgb(fg));
  c.painter.drawText(x, y + f.metrics.ascent(), s);
  if (g_log) g_log->push_back({s, x, y, fg, f.font.pixelSize()});
  return w;
}

int Text(Canvas& c, const ChartFont& f, int x, int y, const char* cp932, int32_t colour) {
  return Text(c, f, x, y, FromCp932(cp932), colour);
}

void LineIn(Canvas& c, int x0, int y0, int x1, int y1, int32_t colour, int style, int* phase = nullptr) {
  if (style == PEN_DOT) c.raster.DottedLine(x0, y0, x1, y1, PixelOf(colour), c.background, phase);
  else c.raster.Line(x0, y0, x1, y1, PixelOf(colour));
}

// ---- The date axis ----

void DateGridLine(Canvas& c, int x) {
  int phase = 0;
  LineIn(c, x, 16, x, c.m.MainH - 20, Clr_ChartKeisenTate, PEN_DOT, &phase);
  phase = 0;
  LineIn(c, x, c.m.MainH, x, c.m.H, Clr_ChartKeisenTate, PEN_DOT, &phase);
}

int BarDate(int i) { return BarRealDate(AshiFlag, i); }

void DrawDateAxis(Canvas& c) {
  const ChartMetrics& m = c.m;
  const ChartFont& f = TheChartFonts().gothic14;
  const int y0 = m.MainH - 16;
  const int sp = m.Spacing;
  int last_bar = CalendarLastBar(AshiFlag);
  if (last_bar >= MAX_DATE) last_bar = MAX_DATE - 1;
  const int from = m.DispStart < 0 ? 0 : m.DispStart;
  const int to = m.DispEnd < last_bar ? m.DispEnd : last_bar;
  if (AshiFlag < 1 || AshiFlag > 3) {
    PRT("AshiFlag Eroor2");
    return;
  }
  int prev_year = -1, prev_month = -1;
  // The month last labelled on the weekly axis starts afresh at every paint, so the same
  // state always draws the same picture.
  int labelled_month = -1;
  char buf[32];
  for (int i = from; i <= to; ++i) {
    const int date = BarDate(i);
    if (date == 0) continue;
    const int year = date / 10000, month = date / 100 % 100;
    const int slot = SlotX(m, i);
    if (prev_year < 0) {
      prev_year = year;
      prev_month = labelled_month = month;
      continue;
    }
    if (AshiFlag == 1) {
      if (month != prev_month) {
        const int x = slot - 1;
        DateGridLine(c, x);
        std::snprintf(buf, sizeof buf, "%02d/%d", year % 100, month);
        Text(c, f, x - 13, y0, buf, Clr_ChartMoji);
      }
    } else if (AshiFlag == 2) {
      if (year > prev_year) {
        const int x = slot - sp / 8;
        DateGridLine(c, x);
        if (x >= 20) {
          std::snprintf(buf, sizeof buf, "%02d/01", year % 100);
          Text(c, f, x - 14, y0, buf, Clr_ChartMoji);
        }
        labelled_month = month;
      } else if (month != labelled_month && month != 1 && sp > 6) {
        const int x = slot - sp / 2 + 5;
        DateGridLine(c, x);
        if (x >= 10) {
          std::snprintf(buf, sizeof buf, "%d", month);
          Text(c, f, x - 2 - (month >= 10 ? 4 : 0), y0, buf, Clr_ChartMoji);
        }
        labelled_month = month;
      }
    } else if (year > prev_year) {
      const int x = slot - sp / 8;
      DateGridLine(c, x);
      std::snprintf(buf, sizeof buf, "%d", year);
      Text(c, f, x - 12, y0, buf, Clr_ChartMoji);
    }
    prev_year = year;
    prev_month = month;
  }
}

// ---- Scale lines of the volume pane and the indicator panes ----

struct ScaleSpec {
  long long v;     // largest value
  double s;        // value units per pixel
  int base;        // y of value 0
  int kind;        // indicator kind, 0 for the volume pane
};

void DrawScaleLines(Canvas& c, const ScaleSpec& sc) {
  const ChartMetrics& m = c.m;
  const ChartFont& f = TheChartFonts().gothic14;
  const bool volume = sc.kind == 0;
  int d;
  if (volume) {
    const double h = sc.v / sc.s;
    d = h < 45 ? 3 : h < 60 ? 4 : h < 76 ? 5 : 6;
  } else {
    d = sc.s > 2.8 ? 2 : sc.s > 1.55 ? 3 : 6;
  }
  long long t;
  if (sc.kind == SHIHYO_MACD || sc.kind == SHIHYO_KAIRI) t = d == 2 ? 100 : d == 3 ? 50 : 25;
  else t = NiceStep(sc.v / d);
  const char* fmt = "%7d";
  int shift = 0;
  if (volume) {
    if (sc.v >= 1000000000) fmt = "%10lld", shift = 8;
    else if (sc.v >= 100000000) fmt = "%9lld";
    else if (sc.v >= 10000000) fmt = "%8lld";
    else fmt = "%7lld";
  }
  char buf[32];
  for (long long i = 0; i <= sc.v / t; ++i) {
    const long long u = i * t;
    const double dy = std::trunc(u / sc.s);
    const int y = sc.base - static_cast<int>(dy > 100000 ? 100000 : dy);
    int32_t colour = Clr_DekiMemori;
    int style = PEN_DOT;
    if (!volume && (u == 0 || u == 100)) style = PEN_SOLID;
    if (sc.kind == SHIHYO_MACD && u == 50) colour = Clr_Stoc_K;
    if (!(volume && u == 0)) LineIn(c, 0, y, m.ChartW - shift, y, colour, style);
    long long shown = u;
    if (sc.kind == SHIHYO_KAIRI) shown = KairiScaleLabel(static_cast<int>(u));
    else if (sc.kind == SHIHYO_MACD) shown = MacdScaleLabel(static_cast<int>(u), m.MacdMax);
    if (volume) std::snprintf(buf, sizeof buf, fmt, shown);
    else std::snprintf(buf, sizeof buf, "%7lld", shown);
    Text(c, f, m.ChartW + 16 - shift, y - 6, buf, Clr_ChartMoji);
    if (!volume && u == 100 && sc.kind != SHIHYO_MACD) Text(c, f, m.ChartW + 66, y - 6, "%", Clr_ChartMoji);
  }
}

// The deviation-rate bars of their pane, drawn with the pane's scale: they stand on the
// middle line, ±20 % filling half the pane (a value beyond is cut at the pane's edge).
void DrawKairiBars(Canvas& c, int pane_bottom) {
  const IndicatorLine* line = FindLine(ChartLines, nChartLine, LineKind::Kairi);
  if (!line) {
    FatalAt(__FILE__, __LINE__);
    Fatal("乖離率Err\n");
  }
  if (line->from == 0 && line->to >= 0) PRT("乖離率でDanger\n");
  if (!c.m.HasBars) return;
  const ChartMetrics& m = c.m;
  const int w = m.Spacing / 8;
  const int mid = pane_bottom - m.PaneH / 2;
  const QRgb plus = PixelOf(Clr_KairiPlus), minus = PixelOf(Clr_KairiMinus);
  for (int i = line->from; i <= line->to; ++i) {
    if (!LineHasValue(*line, i)) continue;
    const double v = line->value[i];
    if (v == 0) continue;
    const int x = CentreX(m, i);
    if (x - w < 0) continue;
    if (x > m.ChartW) break;
    const QRgb col = v > 0 ? plus : minus;
    c.raster.Rectangle(x - w, mid, x + w + 2, KairiBarTop(v, mid, m.PaneH), col, col);
  }
}

void DrawPaneScales(Canvas& c) {
  const ChartMetrics& m = c.m;
  if (m.VolumeShown && m.HasBars)
    DrawScaleLines(c, ScaleSpec{m.MaxDeki, m.DekiPerDot, m.MainH - 20, 0});
  for (int j = 0; j < m.nPanes && j < nViewShihyo; ++j) {
    const int bottom = PaneBottom(m, j);
    const double s = m.PaneH > 0 ? 100.0 / m.PaneH : 1.0;
    DrawScaleLines(c, ScaleSpec{100, s, bottom, ViewShihyo[j]});
    if (ViewShihyo[j] == SHIHYO_KAIRI) DrawKairiBars(c, bottom);
  }
}

// ---- Volume bars and margin balances ----

void DrawVolume(Canvas& c) {
  const ChartMetrics& m = c.m;
  const DispSeries& ds = c.ds;
  const int base = m.MainH - 20;
  const int half = m.Spacing / 8;
  const QRgb vol = PixelOf(Clr_Dekidaka);
  for (int i = m.DispStart; i <= m.DispEnd; ++i) {
    if (ds.deki[i] <= 0) continue;
    const int x = CentreX(m, i);
    c.raster.Rectangle(x - half - 1, DekiY(m, ds.deki[i]), x + half + 1, base, vol, vol);
  }
  if (!(ChartRecordFlag & FLAG_MARGIN)) return;
  const ChartFont& f = TheChartFonts().gothic12;
  struct Balance {
    const int32_t* v;
    int32_t colour;
    const char* label;
    int y;
  } lines[2] = {{ds.margin_buy, Clr_ShinyoKai, "信用買残", m.PriceBottom + 18},
                {ds.margin_sell, Clr_ShinyoUri, "信用売残", m.PriceBottom + 32}};
  for (const Balance& b : lines) {
    bool have = false;
    int px = 0, py = 0;
    for (int i = m.DispStart; i <= m.DispEnd; ++i) {
      if (b.v[i] == 0) continue;
      const int x = CentreX(m, i), y = DekiY(m, b.v[i]);
      if (have) LineIn(c, px, py, x, y, b.colour, PEN_SOLID);
      have = true;
      px = x;
      py = y;
    }
    Text(c, f, 0, b.y, b.label, b.colour);
  }
}

// ---- Price grid and labels ----

void DrawPriceGrid(Canvas& c) {
  const ChartMetrics& m = c.m;
  const ChartFont& f = TheChartFonts().gothic14;
  const long long t = NiceStep((static_cast<long long>(m.MaxHigh) - m.MinLow) / 12);
  const int label_top = fViewIchimoku ? 90 : 65;
  char buf[32];
  for (long long u = (m.MinLow / t + 1) * t; u <= m.MaxHigh; u += t) {
    const int y = PriceY(m, static_cast<double>(u));
    if (y > m.PriceBottom - 10) continue;
    LineIn(c, 0, y, m.ChartW, y, Clr_ChartMemori, PEN_DOT);
    if (y >= label_top) {
      std::snprintf(buf, sizeof buf, "%7lld", u);
      Text(c, f, m.ChartW + 16, y - 6, buf, Clr_ChartMoji);
    }
  }
}

// ---- The price-band ratio ----

// One horizontal line of width 2 per band, from the left edge, at the band's middle price.
void DrawKakakutai(Canvas& c) {
  const ChartMetrics& m = c.m;
  KakakutaiBands bands;
  CalcKakakutai(c.ds, m.MinLow, m.MaxHigh, &bands);
  const QRgb col = PixelOf(Clr_Kakakutai);
  for (int b = 0; b < KAKAKUTAI_BANDS; ++b) {
    const int len = KakakutaiLineLength(bands, b, m.ChartW);
    const int y = KakakutaiLineY(bands, b, m.PriceBottom, m.PricePerDot);
    if (len > 0) c.raster.FillRect(0, y - 1, len, y + 1, col);
  }
}

// ---- The Ichimoku cloud ----

// The quadrilaterals between the two leading spans from each bar to the next, in span 2's
// colour where span 1 lies higher on the screen, else in span 1's.
void DrawIchimokuCloud(Canvas& c) {
  const IndicatorLine* span1 = FindLine(ChartLines, nChartLine, LineKind::IchimokuSpan1);
  const IndicatorLine* span2 = FindLine(ChartLines, nChartLine, LineKind::IchimokuSpan2);
  if (!span1 || !span2) return;
  const IndicatorLine& s1 = *span1;
  const IndicatorLine& s2 = *span2;
  const ChartMetrics& m = c.m;
  const int sp = m.Spacing;
  c.painter.save();
  for (int i = s1.from; i < s1.to; ++i) {
    const int x1 = SlotX(m, i) + sp / 2, x2 = x1 + sp;
    if (x1 < -10) continue;
    if (x1 > m.ChartW || x2 > m.ChartW) break;
    if (!LineHasValue(s1, i) || !LineHasValue(s1, i + 1) || !LineHasValue(s2, i) ||
        !LineHasValue(s2, i + 1))
      continue;
    int a1 = PriceY(m, s1.value[i]), b1 = PriceY(m, s2.value[i]);
    int a2 = PriceY(m, s1.value[i + 1]), b2 = PriceY(m, s2.value[i + 1]);
    if (a1 < 0 && b1 < 0 && a2 < 0 && b2 < 0) continue;
    const bool span1_higher = a1 < b1;
    for (int* y : {&a1, &b1, &a2, &b2})
      if (*y < -500) *y = -500;
    const QColor col = QColor::fromRgb(PixelOf(span1_higher ? ChartColourByName(s2.colour)
                                                        : ChartColourByName(s1.colour)));
    c.painter.setPen(QPen(col, 1));
    c.painter.setBrush(col);
    const QPoint pts[4] = {{x1, a1}, {x1, b1}, {x2, b2}, {x2, a2}};
    c.painter.drawPolygon(pts, 4);
  }
  c.painter.restore();
}

// The stop-loss (red) and take-profit (green) lines of the stock's price alert, whose
// levels the alerts provide.
void DrawAlertLines(Canvas& c) {
  if (!AlarumLimitsHook) return;
  int levels[2] = {0, 0};
  const int bits = AlarumLimitsHook(ChartRecordCode, &levels[0], &levels[1]);
  const ChartMetrics& m = c.m;
  const ChartFont& f = TheChartFonts().gothic12;
  const int32_t colours[2] = {0x0000FF, 0x00FF00};  // blue x 65536 + green x 256 + red
  const char* labels[2] = {"損切り", "利食い"};
  for (int k = 0; k < 2; ++k) {
    if (!(bits & (1 << k))) continue;
    // Far-off levels are kept within int range before the cut (they stay off the pane).
    const double dots = std::clamp((levels[k] - static_cast<double>(m.MinLow)) / m.PricePerDot, -1e6, 1e6);
    const int y = m.PriceBottom - static_cast<int>(dots);
    if (y >= m.PriceBottom - 10) continue;
    c.raster.Line(0, y, m.ChartW, y, PixelOf(colours[k]));
    if (y > 55) Text(c, f, m.ChartW + 2, y - 6, labels[k], colours[k]);
  }
}

// ---- The line list ----

int LineY(const ChartMetrics& m, const IndicatorLine& l, double v, int pane_bottom) {
  if (l.flags & LINE_MACD) return IndicatorValueY(MacdPaneValue(v, m.MacdMax), pane_bottom, m.PaneH);
  if (l.flags & LINE_PANE) return IndicatorValueY(v, pane_bottom, m.PaneH);
  if (l.flags & LINE_VOLUME) return DekiY(m, v);
  return PriceY(m, v);
}

void WideSegment(Canvas& c, int x0, int y0, int x1, int y1, int32_t colour, int width, int style) {
  QPen pen(QColor::fromRgb(PixelOf(colour)));
  pen.setWidth(width);
  pen.setStyle(style == PEN_DOT ? Qt::DotLine : Qt::SolidLine);
  pen.setCapStyle(Qt::FlatCap);
  c.painter.setPen(pen);
  c.painter.drawLine(x0, y0, x1, y1);
}

void DrawLineRecord(Canvas& c, const IndicatorLine& l, int pane_bottom) {
  const ChartMetrics& m = c.m;
  const int sp = m.Spacing;
  const int32_t colour = ChartColourByName(l.colour);
  const QRgb px = PixelOf(colour);
  const int mid = PaneValueY(m, 50, pane_bottom);
  bool have = false;
  int prev_x = 0, prev_y = 0, phase = 0;
  for (int i = l.from; i <= l.to; ++i) {
    const int x = SlotX(m, i) + sp / 2;
    if (x < -10) continue;
    if (x > m.ChartW) break;
    if (!LineHasValue(l, i)) continue;
    const int y = LineY(m, l, l.value[i], pane_bottom);
    if (l.flags & LINE_BARS) {
      const int left = x - sp / 8;
      if (left >= 0) c.raster.FillRect(left, y, x + sp / 8 + 2, mid, px);
    } else if (l.flags & LINE_DOTS) {
      const int r = sp * 3 / 7;
      c.painter.setPen(QColor::fromRgb(px));
      c.painter.setBrush(QColor::fromRgb(px));
      c.painter.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
    } else if (have) {
      if (l.pen_width > 1) WideSegment(c, prev_x, prev_y, x, y, colour, l.pen_width, l.pen_style);
      else LineIn(c, prev_x, prev_y, x, y, colour, l.pen_style, &phase);
    }
    have = true;
    prev_x = x;
    prev_y = y;
  }
}

void DrawLineList(Canvas& c) {
  const ChartMetrics& m = c.m;
  const ChartFonts& fonts = TheChartFonts();
  int pane_bottom = m.MainH;
  const char* last_title = "";
  for (int k = 0; k < nChartLine; ++k) {
    const IndicatorLine& l = ChartLines[k];
    // Leading span 1 only forms the cloud's edge.
    if (l.kind == LineKind::IchimokuSpan1) continue;
    if ((l.flags & LINE_PANE) && std::strcmp(l.title, last_title) != 0) {
      last_title = l.title;
      pane_bottom += m.PaneH;
    }
    const bool kairi_bars = fViewKairi && l.kind == LineKind::Kairi;
    if (!kairi_bars && m.HasBars) DrawLineRecord(c, l, pane_bottom);
    // Legend.
    const ChartFont& f = (k < nMoveAveLine && !fViewIchimoku) ? fonts.gothic14 : fonts.gothic12;
    LinePlace place = ChartLinePlace[k];
    if (!place.set) place = LinePlace{true, 0, m.PriceBottom + 32 + 12 * l.label_row};
    int y = place.y;
    if (l.flags & LINE_PANE) y += pane_bottom - (m.PriceBottom + 32) - m.PaneH + 18;
    Text(c, f, place.x, y, l.label, ChartColourByName(l.colour));
    // Pane title in a box.
    if (l.title[0]) {
      const ChartFont& tf = fonts.mincho10;
      const QString title = FromCp932(l.title);
      const int top = pane_bottom - m.PaneH + 2;
      const int tw = tf.metrics.horizontalAdvance(title), th = tf.metrics.height();
      c.raster.Rectangle(0, top, tw + 4, top + th + 4, PixelOf(Clr_ChartMoji), c.background);
      Text(c, tf, 2, top + 2, title, Clr_ChartMoji);
    }
  }
}

// ---- Candles ----

void DrawCandles(Canvas& c) {
  const ChartMetrics& m = c.m;
  const DispSeries& ds = c.ds;
  const int w = m.HalfBody;
  const QRgb up_pen = PixelOf(Clr_Ashisen), up_brush = PixelOf(Clr_Yousen);
  const QRgb down_pen = PixelOf(Clr_AshiInsen), down_brush = PixelOf(Clr_Insen);
  for (int i = m.DispStart; i <= m.DispEnd; ++i) {
    const int x = CentreX(m, i);
    if (x < -m.Spacing || x > m.W + m.Spacing) continue;
    const bool rising = ds.close[i] >= ds.open[i];
    const QRgb pen = rising ? up_pen : down_pen, brush = rising ? up_brush : down_brush;
    const int yh = PriceY(m, ds.high[i]), yl = PriceY(m, ds.low[i]);
    int top = PriceY(m, rising ? ds.close[i] : ds.open[i]);
    const int bottom = PriceY(m, rising ? ds.open[i] : ds.close[i]);
    if (yh != yl) c.raster.Line(x, yh, x, yl, pen);
    if (top == bottom) --top;
    c.raster.Rectangle(x - w, top, x + w + 1, bottom, pen, brush);
  }
}

// ---- High/low marks ----

void DrawHighLowMarks(Canvas& c) {
  const ChartMetrics& m = c.m;
  const DispSeries& ds = c.ds;
  const ChartFont& f = TheChartFonts().gothic14;
  const int window = m.Spacing <= 4 ? 16 : 8;
  bool have_hi = false, have_lo = false;
  int hi = 0, hi_bar = 0, hi_count = 0, lo = 0, lo_bar = 0, lo_count = 0;
  char buf[16];
  auto mark = [&](int value, int bar, int dy) {
    const int n = std::snprintf(buf, sizeof buf, "%d", value);
    Text(c, f, CentreX(m, bar) - 3 * n, PriceY(m, value) + dy, buf, Clr_ChartKabuka);
  };
  for (int i = m.DispStart + 5; i <= m.DispEnd; ++i) {
    if (!have_hi || ds.high[i] > hi) {
      hi = ds.high[i], hi_bar = i, hi_count = 0, have_hi = true;
    }
    if (!have_lo || ds.low[i] < lo) {
      lo = ds.low[i], lo_bar = i, lo_count = 0, have_lo = true;
    }
    ++hi_count;
    ++lo_count;
    if (hi_count > window || i == m.DispEnd) {
      mark(hi, hi_bar, -16);
      have_hi = false;
    }
    if (lo_count > window || i == m.DispEnd) {
      mark(lo, lo_bar, 4);
      have_lo = false;
    }
  }
}

// ---- Header line and the notice of a stock without prices ----

void BarDateText(int i, char* buf, size_t size) {
  buf[0] = '\0';
  const int date = BarDate(i);
  if (date == 0) return;
  if (AshiFlag == 3) std::snprintf(buf, size, "%d/%2d", date / 10000, date / 100 % 100);
  else std::snprintf(buf, size, "%4d/%02d/%02d", date / 10000, date / 100 % 100, date % 100);
}

void DrawHeader(Canvas& c) {
  const ChartMetrics& m = c.m;
  const DispSeries& ds = c.ds;
  const ChartFont& f = TheChartFonts().mincho16;
  const bool stock = DispNum >= 0 && DispNum < MAX_KABU;
  const Fundamental& fu = fundamental[stock ? DispNum : 0];
  char from[24] = "", to[24] = "", market[64] = "";
  if (AshiFlag >= 1 && AshiFlag <= 3) {
    BarDateText(m.DispStart, from, sizeof from);
    BarDateText(m.DispEnd, to, sizeof to);
  } else {
    PRT("AshiFlag Error3\n");
  }
  if (fu.market != 0) std::snprintf(market, sizeof market, "%-7s", MarketNameOf(fu.market));
  const int e = m.DispEnd;
  const bool bar = e >= 0 && e < MAX_DATE;
  char name[40];
  std::snprintf(name, sizeof name, "%.31s", fu.name);
  char text[256];
  std::snprintf(text, sizeof text, "%-12s(%s)%s %s ～ %s  %d(%d)株 %d,%d,%d,", name,
                Code_to_String(ChartRecordCode).c_str(), market, from, to, bar ? ds.deki[e] : 0, fu.tani,
                bar ? ds.open[e] : 0, bar ? ds.high[e] : 0, bar ? ds.low[e] : 0);
  const int w = Text(c, f, 0, 0, text, Clr_ChartMoji);
  std::snprintf(text, sizeof text, "%d", bar ? ds.close[e] : 0);
  Text(c, f, w, 0, text, Clr_ChartOwarine);
  if (ChartRecordFlag & FLAG_NO_PRICES) {
    Text(c, f, 0, 20, "この銘柄の株価データは内部に存在しません。（もしくはまだ上場されていません）",
         Clr_ChartMoji);
    Text(c, f, 0, 40, "「株価データのダウンロード」で追加されていきます。", Clr_ChartMoji);
  }
}

}  // namespace

void SetChartTextLog(std::vector<ChartText>* log) { g_log = log; }

void PaintChart(QImage* image, bool scale_hold) {
  if (image->isNull()) return;
  // The background; then each layer covers the ones drawn before it.
  {
    ChartRaster r(image);
    r.FillRect(0, 0, r.Width(), r.Height(), PixelOf(Clr_ChartBackGround));
  }
  // Layout, series, lines and scales.
  PrepareChartPaint(image->width(), image->height(), scale_hold);
  Canvas c(image, Metrics, ChartSeries);
  // Texts in Clr_ChartMoji on the background; the date axis.
  DrawDateAxis(c);
  // Scale lines of the volume pane and the indicator panes.
  DrawPaneScales(c);
  // Volume bars and margin balances.
  if (Metrics.VolumeShown && Metrics.HasBars) DrawVolume(c);
  // Price grid and labels.
  if (Metrics.HasBars) DrawPriceGrid(c);
  // Price-band ratio, Ichimoku cloud, stop-loss and take-profit lines.
  if (fViewKakakutai && Metrics.HasBars) DrawKakakutai(c);
  if (fViewIchimoku && Metrics.HasBars) DrawIchimokuCloud(c);
  DrawAlertLines(c);
  // The line list.
  DrawLineList(c);
  // Candles.
  if (Metrics.HasBars) DrawCandles(c);
  // High/low marks, when exactly one of the setting and the Ichimoku overlay is on.
  if (Metrics.HasBars && ((fHighLowMark != 0) != (fViewIchimoku != 0))) DrawHighLowMarks(c);
  // Header line and notice.
  DrawHeader(c);
  // Cross cursor: the cross-hair at its last place, and the price box for that bar.
  if (CrossCursorOn()) MoveCross(1, 0, 0, [image](int x, int y, bool v) { XorCrossHair(image, x, y, v); });
}

void PaintBuffered(QWidget* window, QImage* buffer, const std::function<void(QImage*)>& draw) {
  const QSize size = window->size();
  if (size.isEmpty()) return;
  if (buffer->size() != size) *buffer = QImage(size, QImage::Format_RGB32);
  draw(buffer);
  QPainter p(window);
  p.drawImage(0, 0, *buffer);
}
