#include "chart/shihyo_lines.h"

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/indicators/dmi.h"
#include "chart/indicators/kairi.h"
#include "chart/indicators/macd.h"
#include "chart/indicators/psycho.h"
#include "chart/indicators/rci.h"
#include "chart/indicators/rsi.h"
#include "chart/indicators/stochastics.h"
#include "chart/indicators/volume_ratio.h"
#include "chart/overlays/bollinger.h"
#include "chart/overlays/ichimoku.h"
#include "chart/overlays/parabolic.h"
#include "platform/diagnostics.h"

namespace {

// The computations write straight into the free records at the end of the list; a kind
// that would not fit is left out (the list is sized for every combination, so this only
// guards against a damaged state).
IndicatorLine* Room(int lines) {
  if (nChartLine < 0 || nChartLine + lines > CHART_LINE_MAX) {
    PRT("ChartLine Over nChartLine=%d\n", nChartLine);
    return nullptr;
  }
  return &ChartLines[nChartLine];
}

// Takes the records just computed into the list; their legends follow the indicator rule.
void Take(int count) {
  for (int k = 0; k < count; ++k) ChartLinePlace[nChartLine + k] = LinePlace{false, 0, 0};
  nChartLine += count;
}

// Price-pane records carry no legend of their own.
void TakeOnPricePane(int count) {
  for (int k = 0; k < count; ++k) ChartLinePlace[nChartLine + k] = LinePlace{true, 0, 0};
  nChartLine += count;
}

int Ashi() { return AshiFlag >= 1 && AshiFlag <= 3 ? AshiFlag : 1; }

}  // namespace

void ApplyIchimokuLines() {
  nChartLine = 0;
  nMoveAveLine = 0;
  const int n = CalcIchimoku(ChartSeries, Ashi(), Ichimoku[0], Ichimoku[1], ChartLines);
  for (int k = 0; k < n; ++k) ChartLinePlace[k] = LinePlace{true, Metrics.W - 70, 20 + 12 * k};
  nChartLine = n;
}

void AppendBollingerLines() {
  IndicatorLine* out = Room(BOLLINGER_LINES);
  if (!out) return;
  TakeOnPricePane(CalcBollinger(ChartSeries, GetMoveAveTerm(Ashi(), 0), Bollinger, out));
}

void AppendParabolicLines() {
  IndicatorLine* out = Room(PARABOLIC_LINES);
  if (!out) return;
  TakeOnPricePane(CalcParabolic(ChartSeries, out));
}

void AppendPsychoLines() {
  if (IndicatorLine* out = Room(PSYCHO_LINES)) Take(CalcPsycho(ChartSeries, Ashi(), Psycological, out));
}

void AppendRciLines() {
  if (IndicatorLine* out = Room(RCI_LINES)) Take(CalcRCI(ChartSeries, Ashi(), RCI[0], RCI[1], out));
}

void AppendRsiLines() {
  if (IndicatorLine* out = Room(RSI_LINES)) Take(CalcRSI(ChartSeries, Ashi(), RSI, out));
}

void AppendDmiLines() {
  if (IndicatorLine* out = Room(DMI_LINES)) Take(CalcDMI(ChartSeries, Ashi(), DMI, out));
}

void AppendVrLines() {
  if (IndicatorLine* out = Room(VR_LINES)) Take(CalcVR(ChartSeries, Ashi(), VR, out));
}

void AppendStocLines() {
  if (IndicatorLine* out = Room(STOC_LINES)) Take(CalcStoc(ChartSeries, Ashi(), Stoc, out));
}

void AppendKairiLines() {
  if (IndicatorLine* out = Room(KAIRI_LINES)) Take(CalcKairi(ChartSeries, Ashi(), Kairi[Ashi() - 1], out));
}

void AppendMacdLines() {
  if (IndicatorLine* out = Room(MACD_LINES))
    Take(CalcMACD(ChartSeries, Ashi(), MACD[0], MACD[1], MACD[2], MACDHist != 0, out));
}
