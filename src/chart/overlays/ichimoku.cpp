#include "chart/overlays/ichimoku.h"

#include <algorithm>

#include "chart/indicator_common.h"

int IchimokuBasePeriod(int k) { return ClampWindow(k, 1); }

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
  BeginLine(base, LineKind::IchimokuBase, "", "Clr_IchimokuKijun", 0, PEN_SOLID, 1, 0);
  BeginLine(conv, LineKind::IchimokuConversion, "", "Clr_IchimokuTenkan", 0, PEN_DOT, 1, 1);
  BeginLine(span1, LineKind::IchimokuSpan1, "", "Clr_IchimokuKumoUe", 0, PEN_SOLID, 1, 2);
  BeginLine(span2, LineKind::IchimokuSpan2, "", "Clr_IchimokuKumoSita", 0, PEN_SOLID, 1, 3);
  BeginLine(lag, LineKind::IchimokuLagging, "", "Clr_IchimokuChiko", 0, PEN_SOLID, 1, 4);
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

  // Base and conversion lines start one bar after their own window first lies inside the
  // data; the conversion line no earlier than the base line.
  static double kijun[MAX_DATE], tenkan[MAX_DATE];
  HighLowMiddle(ds, K, F + K - 1, shown, kijun);
  HighLowMiddle(ds, T, F + T - 1, shown, tenkan);
  SetLineRange(base, F + K, shown);
  for (int i = base->from; i <= base->to; ++i) base->value[i] = kijun[i];
  SetLineRange(conv, F + std::max(K, T), shown);
  for (int i = conv->from; i <= conv->to; ++i) conv->value[i] = tenkan[i];

  // Lagging span: each close K - 1 bars back.
  SetLineRange(lag, F, L - K + 1);
  for (int i = F + K - 1; i <= L; ++i) lag->value[i - K + 1] = ds.close[i];

  // Leading spans K - 1 bars ahead of the bar they are computed at: span 2 from the bar
  // after its window of 2 K first lies inside the data, span 1 from there too, or later
  // when the conversion line starts later. The lead ends with the value slots.
  const int lead = K - 1;
  const int spans_to = std::min(shown + lead, LINE_VALUE_COUNT - 1);
  static double wide[MAX_DATE];
  HighLowMiddle(ds, 2 * K, F + 2 * K, spans_to - lead, wide);
  SetLineRange(span2, F + 2 * K + 1 + lead, spans_to);
  for (int i = span2->from; i <= span2->to; ++i) span2->value[i] = wide[i - lead];
  SetLineRange(span1, F + std::max(2 * K, T) + 1 + lead, spans_to);
  for (int i = span1->from; i <= span1->to; ++i)
    span1->value[i] = (tenkan[i - lead] + kijun[i - lead]) * 0.5;
  return ICHIMOKU_LINES;
}
