#include "chart/indicators/rsi.h"

#include <cstdint>

#include "chart/indicator_common.h"

int CalcRSI(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  IndicatorLine* line = &out[0];
  BeginLine(line, LineKind::Rsi, "ＲＳＩ(相対力指数)", "Clr_Rsi", LINE_PANE, PEN_SOLID, 1, 0);
  SetLineText(line->label, "%2d%s", N, AshiUnitWord(ashi));
  SetLineText(line->short_label, "RSI(%d)", N);
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return RSI_LINES;
  const int from = ChangeStart(sp, N);
  SetLineRange(line, from, sp.end);
  if (from > sp.end) return RSI_LINES;

  const int32_t* c = ds.close;
  int64_t rise = 0, fall = 0;  // integer sums, so sliding them is exact
  auto add = [&](int k, int sign) {
    const int64_t d = static_cast<int64_t>(c[k]) - c[k - 1];
    if (d > 0) rise += sign * d;
    if (d < 0) fall -= sign * d;
  };
  for (int k = from - N + 1; k <= from; ++k) add(k, 1);
  for (int i = from; i <= sp.end; ++i) {
    if (i > from) {
      add(i, 1);
      add(i - N, -1);
    }
    double g = static_cast<double>(rise) / N;
    double l = static_cast<double>(fall) / N;
    if (g + l == 0) g = l = 1;
    line->value[i] = g / (l + g) * 100;
  }
  return RSI_LINES;
}
