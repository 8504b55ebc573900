#include "chart/indicators/volume_ratio.h"

#include <cstdint>

#include "chart/indicator_common.h"

int CalcVR(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  IndicatorLine* line = &out[0];
  BeginLine(line, LineKind::VolumeRatio, "ボリュームレシオ", "Clr_Volume", LINE_PANE, PEN_SOLID, 2, 0);
  SetLineText(line->label, "%2d%s", N, AshiUnitWord(ashi));
  SetLineText(line->short_label, "VR(%d)", N);
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return VR_LINES;
  const int from = ChangeStart(sp, N);
  SetLineRange(line, from, sp.end);
  if (from > sp.end) return VR_LINES;

  const int32_t *c = ds.close, *v = ds.deki;
  // 64-bit sums: one bar's volume alone can come near 2^31.
  auto rising = [c, v](int k) -> int64_t {
    if (c[k] > c[k - 1]) return v[k];
    if (c[k] == c[k - 1]) return v[k] / 2;
    return 0;
  };
  int64_t U = 0, V = 0;
  for (int k = from - N + 1; k <= from; ++k) U += rising(k), V += v[k];
  for (int i = from; i <= sp.end; ++i) {
    if (i > from) {
      U += rising(i) - rising(i - N);
      V += static_cast<int64_t>(v[i]) - v[i - N];
    }
    const int64_t all = V == 0 ? 1 : V;
    line->value[i] = static_cast<double>(U) * 100 / static_cast<double>(all);
  }
  return VR_LINES;
}
