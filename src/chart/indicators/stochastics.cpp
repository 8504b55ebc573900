#include "chart/indicators/stochastics.h"

#include <algorithm>
#include <cstdint>

#include "chart/indicator_common.h"

int CalcStoc(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  IndicatorLine* K = &out[0];
  IndicatorLine* D = &out[1];
  IndicatorLine* SD = &out[2];
  char title[LINE_TEXT];
  SetLineText(title, "ストキャスティクス %d%s", N, AshiUnitWord(ashi));
  BeginLine(K, LineKind::Stochastics, title, "Clr_Stoc_K", LINE_PANE, PEN_DOT, 1, 0);
  BeginLine(D, LineKind::Stochastics, title, "Clr_Stoc_D", LINE_PANE, PEN_SOLID, 1, 1);
  BeginLine(SD, LineKind::Stochastics, title, "Clr_Stoc_SD", LINE_PANE, PEN_SOLID, 1, 2);
  SetLineText(K->label, "%%K");
  SetLineText(D->label, "%%D");
  SetLineText(SD->label, "%%SD");
  SetLineText(K->short_label, "STOC K");
  SetLineText(D->short_label, "STOC D");
  SetLineText(SD->short_label, "STOC SD");
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return STOC_LINES;
  const int s = UsualStart(sp, N);
  const int full = sp.first + N - 1;  // first bar whose window lies inside the data
  const int fromK = s;
  const int fromD = std::max(s, full + 2);
  const int fromSD = std::max(s, full + 4);
  SetLineRange(K, fromK, sp.end);
  SetLineRange(D, fromD, sp.end);
  SetLineRange(SD, fromSD, sp.end);
  const int lo = std::max(full, s - 4);  // first bar of num and den that is read
  if (lo > sp.end) return STOC_LINES;

  static int32_t hh[MAX_DATE], ll[MAX_DATE];
  static int64_t num[MAX_DATE], den[MAX_DATE];
  static double pd[MAX_DATE];
  SlidingHighest(ds.high, N, lo, sp.end, hh);
  SlidingLowest(ds.low, N, lo, sp.end, ll);
  for (int i = lo; i <= sp.end; ++i) {
    num[i] = static_cast<int64_t>(ds.close[i]) - ll[i];
    den[i] = hh[i] == ll[i] ? 1 : static_cast<int64_t>(hh[i]) - ll[i];
  }
  for (int i = fromK; i <= sp.end; ++i)
    K->value[i] = static_cast<double>(num[i]) * 100 / static_cast<double>(den[i]);
  for (int i = std::max(full + 2, s - 2); i <= sp.end; ++i) {
    const int64_t a = num[i - 2] + num[i - 1] + num[i];
    int64_t b = den[i - 2] + den[i - 1] + den[i];
    if (b == 0) b = 1;
    pd[i] = static_cast<double>(a) * 100 / static_cast<double>(b);
    if (i >= fromD) D->value[i] = pd[i];
  }
  for (int i = fromSD; i <= sp.end; ++i) SD->value[i] = (pd[i - 2] + pd[i - 1] + pd[i]) / 3;
  return STOC_LINES;
}
