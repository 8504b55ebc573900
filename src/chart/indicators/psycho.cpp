#include "chart/indicators/psycho.h"

#include "chart/indicator_common.h"

int CalcPsycho(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  IndicatorLine* line = &out[0];
  BeginLine(line, LineKind::Psycho, "サイコロジカル", "Clr_Psycho", LINE_PANE, PEN_SOLID, 1, 0);
  SetLineText(line->label, "%2d%s", N, AshiUnitWord(ashi));
  SetLineText(line->short_label, "Psycho");
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return PSYCHO_LINES;
  const int from = ChangeStart(sp, N);
  SetLineRange(line, from, sp.end);
  if (from > sp.end) return PSYCHO_LINES;

  const int32_t* c = ds.close;
  auto sign = [c](int k) { return c[k] > c[k - 1] ? 1 : (c[k] < c[k - 1] ? -1 : 0); };
  int balance = 0;  // rises minus falls over the window
  for (int k = from - N + 1; k <= from; ++k) balance += sign(k);
  for (int i = from; i <= sp.end; ++i) {
    if (i > from) balance += sign(i) - sign(i - N);
    line->value[i] = balance * 50.0 / N + 50;
  }
  return PSYCHO_LINES;
}
