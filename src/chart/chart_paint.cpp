#include "chart/chart_paint.h"

#include <cmath>

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/shihyo_lines.h"
#include "chart/view_shihyo.h"
#include "chart/shown_stock.h"
#include "chart/trend_line.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"

NoticeList<> ChartPainted;

namespace {

int g_painted_ashi = 0;  // the bar period of the previous paint, 0 before the first

void AppendIndicatorLines() {
  for (int i = 0; i < nViewShihyo; ++i)
    for (const ShihyoRow& r : ShihyoTable)
      if (r.kind == ViewShihyo[i] && r.append_lines) r.append_lines();
}

// m of the MACD pane: the largest absolute value of the MACD line shown, 1.0 when it is 0
// or when no such line was computed.
double MacdScale() {
  double m = 0.0;
  if (const IndicatorLine* l = FindLine(ChartLines, nChartLine, LineKind::Macd))
    for (int i = l->from; i <= l->to; ++i)
      if (LineHasValue(*l, i) && std::fabs(l->value[i]) > m) m = std::fabs(l->value[i]);
  return m == 0.0 ? 1.0 : m;
}

}  // namespace

bool BeginChartPaint() {
  TrendLineRepainted();
  TellShownStockChange();
  if (AshiFlag != g_painted_ashi) {
    g_painted_ashi = AshiFlag;
    if (AshiFlag >= 1 && AshiFlag <= 3 && AshiBoxSelectHook) AshiBoxSelectHook(AshiFlag - 1);
  }
  for (int i = 0; i < 3; ++i) {
    const int k = HabaIndex[i] < 0 ? 0 : (HabaIndex[i] >= HABA_COUNT ? HABA_COUNT - 1 : HabaIndex[i]);
    CandleHaba[i] = HabaTable[k];
  }
  if (AshiFlag < 1 || AshiFlag > 3) {
    PRT("old PaintScreen()!\n");
    return false;
  }
  return true;
}

void EndChartPaint() { ChartPainted.Tell(); }

void ResetChartPaintSteps() { g_painted_ashi = 0; }

bool PrepareChartPaint(int w, int hc, bool scale_hold) {
  LayoutPanes(&Metrics, w, hc, nViewShihyo, DekidakaView, DekiHabaRitu, CurrentSpacing());
  nDispBar = Metrics.nDispBar;
  if (!BuildDispSeries()) {
    Metrics.HasBars = false;
    return false;
  }
  if (fViewIchimoku) ApplyIchimokuLines();
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
