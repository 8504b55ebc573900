#include "chart/indicators/kairi.h"

#include "chart/indicator_common.h"
#include "chart/move_average.h"

int CalcKairi(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  IndicatorLine* line = &out[0];
  BeginLine(line, LineKind::Kairi, "乖離率", "Clr_AvgShort", LINE_PANE, PEN_SOLID, 1, 0);
  SetLineText(line->label, "対%d%s平均", N, AshiUnitWord(ashi));
  SetLineText(line->short_label, "乖離率");
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return KAIRI_LINES;
  const int from = sp.first + N - 1;  // whatever DispStart is
  SetLineRange(line, from, sp.end);
  if (from > sp.end) return KAIRI_LINES;
  static double average[MAX_DATE];
  CalcMoveAve(ds, N, average);
  for (int i = from; i <= sp.end; ++i) {
    const double a = average[i];
    line->value[i] = a != 0 ? (ds.close[i] - a) / a * 100 : 0;
  }
  return KAIRI_LINES;
}
