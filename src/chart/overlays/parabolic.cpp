#include "chart/overlays/parabolic.h"

#include <algorithm>

#include "chart/indicator_common.h"

int CalcParabolic(const DispSeries& ds, IndicatorLine* out) {
  IndicatorLine* line = &out[0];
  BeginLine(line, LineKind::Parabolic, "", "Clr_Parabolic", LINE_DOTS, PEN_SOLID, 2, 0);
  SetLineText(line->short_label, "Para");
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return PARABOLIC_LINES;
  SetLineRange(line, sp.first, sp.end);

  const double af_step = 0.02, af_max = 0.2;
  bool rising = true;
  double sar = ds.low[sp.first];
  double af = af_step;
  double eh = -2147483647.0, el = 2147483647.0;
  for (int i = sp.first; i <= sp.end; ++i) {
    const double hi = ds.high[i], lo = ds.low[i];
    if (rising) {
      const double eh2 = std::max(eh, hi);
      sar += af * (eh2 - sar);
      if (eh2 != eh) af = af + af_step > af_max ? af_max : af + af_step;
      if (lo <= sar) {
        rising = false;
        sar = eh2;
        el = lo;
        af = af_step;
      }
      eh = eh2;
    } else {
      const double el2 = std::min(el, lo);
      sar += af * (el2 - sar);
      if (el2 != el) af = af + af_step > af_max ? af_max : af + af_step;
      if (hi >= sar) {
        rising = true;
        sar = el2;
        eh = hi;
        af = af_step;
      }
      el = el2;
    }
    line->value[i] = sar;
  }
  return PARABOLIC_LINES;
}
