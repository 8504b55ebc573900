#include "chart/overlays/ichimoku.h"

#include <algorithm>

#include "chart/indicator_common.h"

int IchimokuBasePeriod(int k) { return std::clamp(k, 1, ICHIMOKU_BASE_MAX); }

namespace {

// (highest high + lowest low) / 2 of the n bars ending at each bar from ... to.
void HighLowMiddle(const DispSeries& ds, int n, int from, int to, double* out) {
  static int32_t hh[MAX_DATE], ll[MAX_DATE];
  if (from > to) return;
  SlidingHighest(ds.high, n, from, to, hh);
  SlidingLowest(ds.low, n, from, to, ll);
  for (int i = from; i <= to; ++i) out[i] = (static_cast<double>(hh[i]) + ll[i]) / 2;
}

}  // namespace

int CalcIchimoku(const DispSeries& ds, int ashi, int k, int t, IndicatorLine* out) {
  const int K = IchimokuBasePeriod(k);
  const int T = ClampWindow(t, 1);
  const char* unit = AshiUnitWord(ashi);
  IndicatorLine* base = &out[0];
  IndicatorLine* conv = &out[1];
  IndicatorLine* span1 = &out[2];
  IndicatorLine* span2 = &out[3];
  IndicatorLine* lag = &out[4];
  BeginLine(base, "", "Clr_IchimokuKijun", 0, PEN_SOLID, 1, 0);
  BeginLine(conv, "", "Clr_IchimokuTenkan", 0, PEN_DOT, 1, 1);
  BeginLine(span1, "", "Clr_IchimokuKumoUe", 0, PEN_SOLID, 1, 2);
  BeginLine(span2, "", "Clr_IchimokuKumoSita", 0, PEN_SOLID, 1, 3);
  BeginLine(lag, "", "Clr_IchimokuChiko", 0, PEN_SOLID, 1, 4);
  SetLineText(base->label, "%s%2d%s", "基準線", K, unit);
  SetLineText(conv->label, "%s%2d%s", "転換線", T, unit);
  SetLineText(span1->label, "先行スパン1");
  SetLineText(span2->label, "抵抗帯雲");
  SetLineText(lag->label, "遅行スパン");
  SetLineText(base->short_label, "基準線");
  SetLineText(conv->short_label, "転換線");
  SetLineText(span1->short_label, "先行1");
  SetLineText(span2->short_label, "先行2");
  SetLineText(lag->short_label, "遅行");
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty || sp.last < sp.first) return ICHIMOKU_LINES;
  const int F = sp.first, L = sp.last;
  const int shown = std::min(sp.end, L);  // last bar computed: shown, with data

  // Base and conversion start one bar after both windows first lie inside the data.
  static double kijun[MAX_DATE], tenkan[MAX_DATE];
  HighLowMiddle(ds, K, F + K - 1, shown, kijun);
  HighLowMiddle(ds, T, F + T - 1, shown, tenkan);
  const int lines_from = F + std::max(K, T);
  SetLineRange(base, lines_from, shown);
  SetLineRange(conv, lines_from, shown);
  for (int i = lines_from; i <= shown; ++i) {
    base->value[i] = kijun[i];
    conv->value[i] = tenkan[i];
  }

  // Lagging span: each close K - 1 bars back.
  SetLineRange(lag, F, L - K + 1);
  for (int i = F + K - 1; i <= L; ++i) lag->value[i - K + 1] = ds.close[i];

  // Leading spans K - 1 bars ahead, from the bar after both of their inputs are defined;
  // drawn from the next bar on.
  const int i0 = F + std::max(2 * K, T);
  const int spans_from = i0 + K;
  static double wide[MAX_DATE];
  HighLowMiddle(ds, 2 * K, spans_from - K + 1, shown, wide);
  for (int i = spans_from - K + 1; i <= shown; ++i) {
    span1->value[i + K - 1] = (tenkan[i] + kijun[i]) * 0.5;
    span2->value[i + K - 1] = wide[i];
  }
  SetLineRange(span1, spans_from, shown + K - 1);
  SetLineRange(span2, spans_from, shown + K - 1);
  return ICHIMOKU_LINES;
}
