#include "chart/chart_series.h"

#include <cstring>

#include "chart/chart_layout.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/indicator_common.h"
#include "chart/move_average.h"
#include "chart/overlays/ichimoku.h"
#include "db/packed_value.h"
#include "db/trading_calendar.h"
#include "db/week_month_bars.h"
#include "platform/diagnostics.h"
#include "chart/shown_stock.h"

DispSeries ChartSeries;
double MoveAveBuf[MAX_DATE];
IndicatorLine ChartLines[CHART_LINE_MAX];
int nChartLine = 0;
LinePlace ChartLinePlace[CHART_LINE_MAX];
int nMoveAveLine = 0;
int32_t ChartRecordFlag = 0;
int32_t ChartRecordCode = 0;

namespace {

int Tani() {
  const int t = (DispNum >= 0 && DispNum < MAX_KABU) ? fundamental[DispNum].tani : 1;
  return t < 1 ? 1 : t;
}

// Bars from the stock's first day to the calendar's end; days after the last day with
// data stay at the last close with no volume (a delisted stock scrolled beyond its end).
void FillDaily(DispSeries& ds, int* first, int* last) {
  const Hiashi* h = ShownRecord();
  const int tani = Tani();
  const int end_cal = LastTradingDay();
  *first = h->start;
  *last = h->end;
  if ((h->flag & FLAG_NO_PRICES) || h->start < 0 || h->start > h->end || h->end >= MAX_DATE ||
      h->start > end_cal) {
    *first = 0;
    *last = -1;
    return;
  }
  if (*last > end_cal) *last = end_cal;
  for (int i = h->start; i <= end_cal; ++i) {
    if (i <= *last) {
      ds.open[i] = Packed_to_Value(h->open[i]);
      ds.high[i] = Packed_to_Value(h->high[i]);
      ds.low[i] = Packed_to_Value(h->low[i]);
      ds.close[i] = Packed_to_Value(h->close[i]);
      ds.deki[i] = Packed_to_Value(h->deki[i]) / tani;
    } else {
      ds.open[i] = ds.high[i] = ds.low[i] = ds.close[i] = ds.close[i - 1];
      ds.deki[i] = 0;
    }
    ds.margin_sell[i] = Packed_to_Value(h->margin_sell[i]) / tani;
    ds.margin_buy[i] = Packed_to_Value(h->margin_buy[i]) / tani;
  }
}

// A week or month after the first without trade (low 0) stays at the previous close.
void FlatAfterFirst(DispSeries& ds, int i) {
  ds.open[i] = ds.high[i] = ds.low[i] = ds.close[i] = ds.close[i - 1];
  ds.deki[i] = ds.margin_sell[i] = ds.margin_buy[i] = 0;
}

void FillWeekly(DispSeries& ds, int* first, int* last) {
  BuildShuashi(DispNum);
  const int tani = Tani();
  int end_cal = LastWeek;
  if (end_cal >= MAX_DATE) end_cal = MAX_DATE - 1;
  *first = shuashi.start;
  *last = shuashi.end;
  if (shuashi.start < 0 || shuashi.start > shuashi.end || shuashi.start > end_cal) {
    *first = 0;
    *last = -1;
    return;
  }
  if (*last > end_cal) *last = end_cal;
  for (int w = shuashi.start; w <= end_cal; ++w) {
    const ShuashiBar& b = shuashi.bar[w];
    if (w > shuashi.start && (b.low == 0 || w > *last)) {
      FlatAfterFirst(ds, w);
      continue;
    }
    ds.open[w] = b.open;
    ds.high[w] = b.high;
    ds.low[w] = b.low;
    ds.close[w] = b.close;
    ds.deki[w] = b.deki / tani;
    ds.margin_sell[w] = b.margin_sell / tani;
    ds.margin_buy[w] = b.margin_buy / tani;
  }
}

void FillMonthly(DispSeries& ds, int* first, int* last) {
  BuildTsukiashi(DispNum);
  const int tani = Tani();
  int end_cal = MonthNum - 1;
  if (end_cal >= MAX_DATE) end_cal = MAX_DATE - 1;
  const Tsukiashi& t = tsukiashi;
  *first = t.first_month;
  *last = t.last_month;
  if (t.first_month < 0 || t.first_month > t.last_month || t.first_month > end_cal) {
    *first = 0;
    *last = -1;
    return;
  }
  if (*last > end_cal) *last = end_cal;
  for (int m = t.first_month; m <= end_cal; ++m) {
    if (m > t.first_month && (t.low[m] == 0 || m > *last)) {
      FlatAfterFirst(ds, m);
      continue;
    }
    ds.open[m] = t.open[m];
    ds.high[m] = t.high[m];
    ds.low[m] = t.low[m];
    ds.close[m] = t.close[m];
    const double units = t.deki_sum[m] / tani;
    ds.deki[m] = units > 2147483647.0 ? 2147483647 : static_cast<int32_t>(units);
    ds.margin_sell[m] = t.margin_sell[m] / tani;
    ds.margin_buy[m] = t.margin_buy[m] / tani;
  }
}

const char* AverageLabelFormat(int ashi) {
  return ashi == 2 ? "%3d週平均" : ashi == 3 ? "%3d月平均" : "%3d日平均";
}
const char* AverageShortFormat(int ashi) {
  return ashi == 2 ? "%d週平" : ashi == 3 ? "%d月平" : "%d日平";
}

void CopyBuffer(IndicatorLine* line, int from, int to) {
  if (from < 0) from = 0;
  if (to >= MAX_DATE) to = MAX_DATE - 1;
  SetLineRange(line, from, to);
  for (int i = line->from; i <= line->to && line->from <= line->to; ++i)
    line->value[i] = MoveAveBuf[i];
}

}  // namespace

Hiashi* ShownRecord() {
  Hiashi* h = WorkHiashi();
  if (DispNum < 0 || DispNum >= MAX_KABU) return h;
  if (h->code != fundamental[DispNum].code) h = LoadHiashi(DispNum);
  return h;
}

int GetMoveAveTerm(int ashi, int line) {
  const int* pair = ashi == 1 ? DayMoveAve : ashi == 2 ? WeekMoveAve : ashi == 3 ? MonthMoveAve : nullptr;
  const int* third = ashi == 1 ? DayMoveAveThird
                     : ashi == 2 ? WeekMoveAveThird
                     : ashi == 3 ? MonthMoveAveThird
                                 : nullptr;
  if (pair && line >= 0 && line <= 1) return pair[line];
  if (third && line == 2) return third[0];
  FatalAt(__FILE__, __LINE__);
  Fatal("GetMoveAveTerm Err!\n");
}

const char* MoveAveColourName(int line) {
  switch (line) {
    case 0:
      return "Clr_AvgShort";
    case 1:
      return "Clr_AvgMiddle";
    case 2:
      return "Clr_AvgLong";
    default:
      FatalAt(__FILE__, __LINE__);
      Fatal("移動平均の色指定Err\n");
  }
}

int32_t MoveAveColour(int line) { return ChartColourByName(MoveAveColourName(line)); }

int32_t ChartColourByName(const char* name) {
  if (name)
    for (const ClrEntry& c : ClrTable)
      if (std::strcmp(c.key, name) == 0) return *c.colour;
  return Clr_ChartMoji;
}

IndicatorLine* AppendChartLine() {
  if (nChartLine >= CHART_LINE_MAX) return nullptr;
  ChartLinePlace[nChartLine] = LinePlace{false, 0, 0};
  return &ChartLines[nChartLine++];
}

bool BuildDispSeries() {
  std::memset(&ChartSeries, 0, sizeof ChartSeries);
  nChartLine = 0;
  nMoveAveLine = 0;
  ChartRecordFlag = ChartRecordCode = 0;
  if (AshiFlag < 1 || AshiFlag > 3) {
    PRT("AshiFlag Error1");
    return false;
  }
  DispSeries& ds = ChartSeries;
  int first = 0, last = -1;
  ChartRecordFlag = ChartRecordCode = 0;
  if (DispNum >= 0 && DispNum < MAX_KABU) {
    const Hiashi* h = ShownRecord();
    ChartRecordFlag = h->flag;
    ChartRecordCode = h->code;
    if (AshiFlag == 1) FillDaily(ds, &first, &last);
    else if (AshiFlag == 2) FillWeekly(ds, &first, &last);
    else FillMonthly(ds, &first, &last);
  }
  int series_last = CalendarLastBar(AshiFlag);
  if (series_last >= MAX_DATE) series_last = MAX_DATE - 1;
  const int base = fViewIchimoku ? IchimokuBasePeriod(Ichimoku[0]) : 0;
  PlaceBars(&Metrics, ScrollPos[AshiFlag - 1], first, last, series_last, base);
  // The computations read the bars shown from the series; without bars nothing is shown.
  ds.FirstData = first;
  ds.LastData = last;
  ds.DispStart = Metrics.DispStart;
  ds.DispEnd = Metrics.HasBars ? Metrics.DispEnd : Metrics.DispStart - 1;

  const int third = (AshiFlag == 1 ? DayMoveAveThird : AshiFlag == 2 ? WeekMoveAveThird : MonthMoveAveThird)[1];
  const int lines = third ? 3 : 2;
  for (int k = 0; k < lines; ++k) {
    const int p = GetMoveAveTerm(AshiFlag, k);
    IndicatorLine* line = AppendChartLine();
    BeginLine(line, LineKind::MoveAverage, "", MoveAveColourName(k), 0, PEN_SOLID, 1, k);
    SetLineText(line->label, AverageLabelFormat(AshiFlag), p);
    SetLineText(line->short_label, AverageShortFormat(AshiFlag), p);
    ChartLinePlace[k] = LinePlace{true, Metrics.W - 76, 20 + 15 * k};
    if (Metrics.HasBars && CalcMoveAve(ds, p, MoveAveBuf)) CopyBuffer(line, first + p, ds.DispEnd);
  }
  nMoveAveLine = lines;
  return true;
}

void AppendVolumeAverageLines() {
  if (AshiFlag < 1 || AshiFlag > 3) return;
  for (int k = 0; k < 3; ++k) {
    if (!(DekiMoveAve & (1 << k))) continue;
    const int p = GetMoveAveTerm(AshiFlag, k);
    if (p <= 0) continue;
    IndicatorLine* line = AppendChartLine();
    if (!line) return;
    BeginLine(line, LineKind::VolumeAverage, "", MoveAveColourName(k), LINE_VOLUME, PEN_SOLID, 1, k);
    SetLineText(line->short_label, "%d%s出平", p, AshiUnitWord(AshiFlag));
    ChartLinePlace[nChartLine - 1] = LinePlace{true, 0, 0};
    if (Metrics.HasBars && CalcDekiMoveAve(ChartSeries, p, MoveAveBuf))
      CopyBuffer(line, ChartSeries.FirstData + p - 1, ChartSeries.DispEnd);
  }
}
