#include "chart/chart_paint.h"

#include <cmath>

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/shihyo_lines.h"
#include "chart/view_shihyo.h"
#include "chart/shown_stock.h"

bool fIchimokuLines = false;

namespace {

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
  if (fViewIchimoku) {
    ApplyIchimokuLines();
    fIchimokuLines = true;
  }
  // The bands need the first moving average as their centre, which the Ichimoku lines
  // replace: the two never draw together (a settings file may still carry both flags).
  if (fViewBollinger && !fViewIchimoku) AppendBollingerLines();
  if (fViewParabolic) AppendParabolicLines();
  AppendIndicatorLines();
  const int code = (DispNum >= 0 && DispNum < MAX_KABU) ? fundamental[DispNum].code : 0;
  ComputeScales(&Metrics, ChartSeries, code, DispNum, scale_hold);
  Metrics.MacdMax = fViewMACD ? MacdScale() : 1.0;
  if (Metrics.VolumeShown) AppendVolumeAverageLines();
  return true;
}
