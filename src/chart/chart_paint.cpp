#include "chart/chart_paint.h"

#include <cmath>

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/view_shihyo.h"
#include "shell/shell_state.h"

bool fIchimokuLines = false;

namespace {

// Overlay and indicator computations slot in here; each appends its records to the line
// list. Not wired into the paint yet: the panes and overlays draw empty.
void ApplyIchimokuLines() {}
void AppendBollingerLines() {}
void AppendParabolicLines() {}

void AppendIndicatorLines() {
  for (int i = 0; i < nViewShihyo; ++i)
    for (const ShihyoRow& r : ShihyoTable)
      if (r.kind == ViewShihyo[i] && r.append_lines) r.append_lines();
}

// m of the MACD pane: the largest absolute value of the MACD line shown (flags 4 without
// 8), 1.0 when it is 0 or when no such line was computed.
double MacdScale() {
  double m = 0.0;
  for (int k = 0; k < nChartLine; ++k) {
    const IndicatorLine& l = ChartLines[k];
    if (!(l.flags & LINE_MACD) || (l.flags & LINE_BARS)) continue;
    for (int i = l.from; i <= l.to; ++i)
      if (LineHasValue(l, i) && std::fabs(l.value[i]) > m) m = std::fabs(l.value[i]);
    break;
  }
  return m == 0.0 ? 1.0 : m;
}

}  // namespace

bool PrepareChartPaint(int w, int hc, bool scale_hold) {
  LayoutPanes(&Metrics, w, hc, nViewShihyo, DekidakaView, DekiHabaRitu, CurrentSpacing());
  nDispBar = Metrics.nDispBar;
  fIchimokuLines = false;
  if (!BuildDispSeries()) {
    Metrics.HasBars = false;
    return false;
  }
  if (fViewIchimoku) ApplyIchimokuLines();
  if (fViewBollinger) AppendBollingerLines();
  if (fViewParabolic) AppendParabolicLines();
  AppendIndicatorLines();
  const int code = (DispNum >= 0 && DispNum < MAX_KABU) ? fundamental[DispNum].code : 0;
  ComputeScales(&Metrics, ChartSeries, code, DispNum, scale_hold);
  Metrics.MacdMax = fViewMACD ? MacdScale() : 1.0;
  if (Metrics.VolumeShown) AppendVolumeAverageLines();
  return true;
}
