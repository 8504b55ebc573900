#include "chart/indicators/macd.h"

#include <algorithm>
#include <cstdint>

#include "chart/indicator_common.h"

namespace {

// Exponential average of the closes from its seed at FirstData + n - 1 to DispEnd.
void ExpAverage(const DispSeries& ds, const SeriesSpan& sp, int n, double* e) {
  const int seed = sp.first + n - 1;
  if (seed > sp.end) return;
  int64_t sum = 0;
  for (int i = sp.first; i <= seed; ++i) sum += ds.close[i];
  e[seed] = static_cast<double>(sum) / n;
  const double alpha = 2.0 / (n + 1);
  for (int i = seed + 1; i <= sp.end; ++i) e[i] = e[i - 1] + alpha * (ds.close[i] - e[i - 1]);
}

}  // namespace

int CalcMACD(const DispSeries& ds, int ashi, int a, int b, int g, bool with_hist,
             IndicatorLine* out) {
  a = ClampWindow(a, 1);
  b = ClampWindow(b, 1);
  g = ClampWindow(g, 1);
  const char* unit = AshiUnitWord(ashi);
  IndicatorLine* hist = with_hist ? &out[0] : nullptr;
  IndicatorLine* macd = &out[with_hist ? 1 : 0];
  IndicatorLine* sig = &out[with_hist ? 2 : 1];
  const char* title = "ＭＡＣＤ";
  BeginLine(macd, LineKind::Macd, title, "Clr_MACD_MACD", LINE_PANE | LINE_MACD, PEN_SOLID, 1, 0);
  BeginLine(sig, LineKind::MacdSignal, title, "Clr_MACD_Kijun", LINE_PANE | LINE_MACD, PEN_DOT, 1, 1);
  SetLineText(macd->label, "MACD %d%s-%d%s", a, unit, b, unit);
  SetLineText(macd->short_label, "MACD(%d-%d)", a, b);
  SetLineText(sig->label, "シグナル %d%s", g, unit);
  SetLineText(sig->short_label, "MACD Sig");
  if (hist) {
    BeginLine(hist, LineKind::MacdHistogram, title, "Clr_MACD_Hist", LINE_PANE | LINE_MACD | LINE_BARS, PEN_SOLID, 1, 2);
    SetLineText(hist->label, "ヒストグラム");
    SetLineText(hist->short_label, "MACD Hist");
  }
  const int count = with_hist ? 3 : 2;
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return count;

  const int m0 = sp.first + std::max(a, b);  // both averages defined (from the one before)
  const int s0 = m0 + g;                     // g MACD values behind
  SetLineRange(macd, std::max(m0, sp.start), sp.end);
  SetLineRange(sig, std::max(s0, sp.start), sp.end);
  if (hist) SetLineRange(hist, std::max(s0, sp.start), sp.end);
  if (m0 > sp.end) return count;

  static double ea[MAX_DATE], eb[MAX_DATE], mv[MAX_DATE];
  ExpAverage(ds, sp, a, ea);
  ExpAverage(ds, sp, b, eb);
  for (int i = m0; i <= sp.end; ++i) mv[i] = ea[i] - eb[i];
  for (int i = std::max(m0, sp.start); i <= sp.end; ++i) macd->value[i] = mv[i];
  for (int i = std::max(s0, sp.start); i <= sp.end; ++i) {
    double s = 0;
    for (int k = i - g + 1; k <= i; ++k) s += mv[k];
    const double signal = s / g;
    sig->value[i] = signal;
    if (hist) hist->value[i] = mv[i] - signal;
  }
  return count;
}
