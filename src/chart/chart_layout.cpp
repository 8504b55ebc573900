#include "chart/chart_layout.h"

#include <cmath>

#include "platform/diagnostics.h"

ChartMetrics Metrics;

namespace {
int g_hold_stock = -1;
double g_hold_ppd = 1.0, g_hold_dpd = 1.0;

int ClipY(double y) {
  if (!(y == y)) return 0;  // not a number
  if (y < -100000.0) return -100000;
  if (y > 100000.0) return 100000;
  return static_cast<int>(y);
}
}  // namespace

void LayoutPanes(ChartMetrics* m, int w, int hc, int n, int deki_view, int ratio, int spacing) {
  *m = ChartMetrics{};
  if (w < 0) w = 0;
  if (hc < 0) hc = 0;
  if (n < 0) n = 0;
  if (ratio < 1) ratio = 1;
  if (spacing < 1) spacing = 1;
  m->W = w;
  m->Hc = hc;
  m->nPanes = n;
  m->VolumeShown = !(deki_view == 0 && n > 0);
  const long long weight = m->VolumeShown ? 80 : 100;
  int h = n > 0 ? hc - 10 : hc;
  if (h < 0) h = 0;
  m->H = h;
  // H / (n w + 100 / R) x w with w = weight / 100, multiplied out by 100 R.
  m->PaneH = static_cast<int>(static_cast<long long>(h) * weight * ratio /
                              (n * weight * ratio + 10000));
  m->MainH = h - n * m->PaneH;
  if (m->MainH < 0) m->MainH = 0;
  m->ChartW = w - LABEL_AREA_W;
  if (m->ChartW < 0) m->ChartW = 0;
  m->VolH = m->VolumeShown ? m->MainH * ratio / 100 : 0;
  m->PriceBottom = m->MainH - m->VolH - 36;
  if (m->PriceBottom < PRICE_TOP) m->PriceBottom = PRICE_TOP;
  m->Spacing = spacing;
  m->nDispBar = m->ChartW / spacing;
  m->HalfBody = (spacing - 2) / 2 < 3 ? (spacing - 2) / 2 : 3;
  if (m->HalfBody < 0) m->HalfBody = 0;
  m->PricePerDot = m->DekiPerDot = m->MacdMax = 1.0;
}

int PaneBottom(const ChartMetrics& m, int j) { return m.H - (m.nPanes - 1 - j) * m.PaneH; }

void PlaceBars(ChartMetrics* m, int scroll_pos, int first, int last, int series_last,
               int ichimoku_base) {
  m->FirstData = first;
  m->LastData = last;
  int end = scroll_pos;
  // The series holds bars up to the calendar's end; nothing lies beyond it.
  if (ichimoku_base > 0 && end > last) end = last;
  if (end > series_last) end = series_last;
  int start = scroll_pos - m->nDispBar + 1;
  if (start < first) start = first;
  m->DispStart = start;
  m->DispEnd = end;
  m->HasBars = last >= first && first >= 0 && start <= end && end < MAX_DATE;
  const long long slots = ichimoku_base > 0
                              ? static_cast<long long>(start) - ichimoku_base - end + m->nDispBar - 1
                              : static_cast<long long>(start) - end + m->nDispBar - 1;
  long long x0 = slots * m->Spacing;
  if (x0 < 0) x0 = 0;
  if (x0 > 1000000) x0 = 1000000;
  m->BarX0 = static_cast<int>(x0);
}

void ComputeScales(ChartMetrics* m, const DispSeries& ds, int stock_code, int stock_num, bool hold) {
  m->MinLow = m->MaxHigh = 0;
  m->MaxDeki = 0;
  double ppd = 1.0, dpd = 1.0;
  if (m->HasBars) {
    int lo = ds.low[m->DispStart], hi = ds.high[m->DispStart], dk = 0;
    for (int i = m->DispStart; i <= m->DispEnd; ++i) {
      if (ds.high[i] > hi) hi = ds.high[i];
      if (ds.low[i] < lo) lo = ds.low[i];
      if (ds.deki[i] > dk) dk = ds.deki[i];
      if (ds.margin_sell[i] > dk) dk = ds.margin_sell[i];
      if (ds.margin_buy[i] > dk) dk = ds.margin_buy[i];
    }
    m->MinLow = lo;
    m->MaxHigh = hi;
    m->MaxDeki = dk;
    ppd = (static_cast<double>(hi) - lo) / (m->PriceBottom - PRICE_TOP + 1);
    if (ppd == 0.0) {
      ppd = 1.0;
      PRT("rt=0.0! code=%d\n", stock_code);
    }
    if (m->VolH > 16) dpd = static_cast<double>(dk) / (m->VolH - 16);
    if (dpd <= 0.0) dpd = 1.0;
  }
  if (hold && stock_num == g_hold_stock) {
    ppd = g_hold_ppd;
    dpd = g_hold_dpd;
  } else {
    g_hold_stock = stock_num;
    g_hold_ppd = ppd;
    g_hold_dpd = dpd;
  }
  m->PricePerDot = ppd;
  m->DekiPerDot = dpd;
}

void ResetScaleHold() {
  g_hold_stock = -1;
  g_hold_ppd = g_hold_dpd = 1.0;
}

int PriceY(const ChartMetrics& m, double v) {
  return m.PriceBottom - ClipY(std::trunc((v - m.MinLow) / m.PricePerDot));
}

int DekiY(const ChartMetrics& m, double v) {
  return (m.MainH - 20) - ClipY(std::trunc(v / m.DekiPerDot));
}

int PaneValueY(const ChartMetrics& m, double v, int pane_bottom) {
  const double s = m.PaneH > 0 ? 100.0 / m.PaneH : 1.0;
  return pane_bottom - ClipY(std::trunc(v / s));
}

long long NiceStep(long long c) {
  long long p = 1;
  while (c >= 10) {
    c /= 10;
    p *= 10;
  }
  if (c >= 5) return 10 * p;
  if (c >= 2) return 5 * p;
  return 2 * p;
}
