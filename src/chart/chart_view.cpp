#include "chart/chart_view.h"

#include <cstdint>

#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_series.h"
#include "chart/overlays/ichimoku.h"
#include "chart/view_shihyo.h"
#include "db/trading_calendar.h"
#include "db/week_month_bars.h"
#include "chart/chart_paint.h"
#include "chart/shown_stock.h"
#include "chart/trend_line.h"
#include "platform/hooks.h"
#include "platform/virtual_keys.h"

int HabaIndex[3] = {4, 2, 1};
int ScrollPos[3] = {0, 0, 0};
int nDispBar = 0;
int fHighLowMark = 1;
ChartScrollState ChartScrollBar = {0, 0, 0};

namespace {

bool ValidAshi(int ashi) { return ashi >= 1 && ashi <= 3; }

void SetScrollBar(int mn, int mx, int pos) {
  ChartScrollBar = {mn, mx, pos};
  if (ChartScrollBarHook) ChartScrollBarHook(mn, mx, pos);
}

// The scroll range of the current period: from the first bar that still fills the chart
// to the last bar (plus the cloud's room); a range that would be empty keeps one step.
void ScrollRange(int first, int last, int* mn, int* mx) {
  *mn = first + nDispBar - 1;
  *mx = last + IchimokuLead();
}

}  // namespace

int CurrentSpacing() {
  if (!ValidAshi(AshiFlag)) return HabaTable[HABA_COUNT - 1];
  int i = HabaIndex[AshiFlag - 1];
  if (i < 0) i = 0;
  if (i >= HABA_COUNT) i = HABA_COUNT - 1;
  return HabaTable[i];
}

int HabaIndexOf(int spacing) {
  const int h = NearestHaba(spacing);
  for (int i = 0; i < HABA_COUNT; ++i)
    if (HabaTable[i] == h) return i;
  return HABA_COUNT - 1;
}

int CalendarLastBar(int ashi) {
  switch (ashi) {
    case 1:
      return LastTradingDay();
    case 2:
      EnsureWeekTable();
      return LastWeek;
    case 3:
      EnsureMonthTable();
      return MonthNum - 1;
    default:
      return -1;
  }
}

bool StockBarRange(int ashi, int* first, int* last) {
  *first = 0;
  *last = -1;
  if (DispNum < 0 || DispNum >= MAX_KABU) return false;
  switch (ashi) {
    case 1: {
      const Hiashi* h = ShownRecord();
      if (h->flag & FLAG_NO_PRICES) return false;
      *first = h->start;
      *last = h->end;
      break;
    }
    case 2:
      BuildShuashi(DispNum);
      *first = shuashi.start;
      *last = shuashi.end;
      break;
    case 3:
      BuildTsukiashi(DispNum);
      *first = tsukiashi.first_month;
      *last = tsukiashi.last_month;
      break;
    default:
      return false;
  }
  if (*first < 0 || *last >= MAX_DATE || *first > *last) {
    *first = 0;
    *last = -1;
    return false;
  }
  return true;
}

int IchimokuLead() { return fViewIchimoku ? IchimokuBasePeriod(Ichimoku[0]) - 1 : 0; }

void ChartOnStartup() {
  for (int i = 0; i < 3; ++i) {
    HabaIndex[i] = HabaIndexOf(CandleHaba[i]);
    ScrollPos[i] = CalendarLastBar(i + 1);
  }
  RebuildViewShihyo();
  ReRangeChart();
  if (ValidAshi(AshiFlag) && AshiBoxSelectHook) AshiBoxSelectHook(AshiFlag - 1);
}

void ReRangeChart() {
  if (!ValidAshi(AshiFlag)) return;
  int& pos = ScrollPos[AshiFlag - 1];
  const int cal_last = CalendarLastBar(AshiFlag);
  if (fViewIchimoku) pos = cal_last + IchimokuLead();
  else if (pos > cal_last) pos = cal_last;
  int first, last, mn, mx;
  StockBarRange(AshiFlag, &first, &last);
  ScrollRange(first, last, &mn, &mx);
  if (mn >= mx) mn = mx - 1;
  SetScrollBar(mn, mx, pos);
}

void ChartScroll(int code, int thumb) {
  if (!ValidAshi(AshiFlag)) return;
  int first, last;
  // A stock without bars has nothing to scroll to; its position stays for the next stock.
  if (!StockBarRange(AshiFlag, &first, &last)) return;
  int& stored = ScrollPos[AshiFlag - 1];
  const int pos = stored;
  int mn, mx;
  ScrollRange(first, last, &mn, &mx);
  int np = pos;
  switch (code) {
    case SCROLL_LINE_LEFT:
    case VK_LEFT:
      np = pos - 1;
      break;
    case SCROLL_LINE_RIGHT:
    case VK_RIGHT:
      np = pos + 1;
      break;
    case SCROLL_PAGE_LEFT:
    case VK_PRIOR:
    case VK_UP:
      np = pos - nDispBar / 2;
      break;
    case SCROLL_PAGE_RIGHT:
    case VK_NEXT:
    case VK_DOWN:
      np = pos + nDispBar / 2;
      break;
    case SCROLL_THUMB:
      np = static_cast<int16_t>(thumb);
      break;
    case VK_END:
      np = mx;
      break;
    case VK_HOME:
      np = 0;
      break;
    default:
      break;
  }
  if (np < mn) np = mn;
  if (np > mx) np = mx;
  if (mn >= mx) mn = mx - 1;
  SetScrollBar(mn, mx, np);
  stored = np;
  if (np != pos) RequestChartRepaint();
}

void SetAshi(int ashi) {
  if (!ValidAshi(ashi)) return;
  AshiFlag = ashi;
  ReRangeChart();
  RequestChartRepaint();
}

bool ChangeSpacing(int step) {
  if (!ValidAshi(AshiFlag)) return false;
  int& i = HabaIndex[AshiFlag - 1];
  int n = i + step;
  if (n < 0) n = 0;
  if (n >= HABA_COUNT) n = HABA_COUNT - 1;
  if (n == i) return false;
  i = n;
  CandleHaba[AshiFlag - 1] = HabaTable[n];
  return true;
}

void NextVolumeShare() {
  switch (DekiHabaRitu) {
    case 20:
    case 30:
    case 40:
    case 50:
      DekiHabaRitu += 10;
      break;
    case 60:
      DekiHabaRitu = 20;
      break;
    default:
      break;
  }
}

void ResetChartView() {
  for (int i = 0; i < 3; ++i) {
    HabaIndex[i] = HabaIndexOf(CandleHaba[i]);
    ScrollPos[i] = 0;
  }
  nDispBar = 0;
  fHighLowMark = 1;
  ChartScrollBar = {0, 0, 0};
  ResetShownStock();
  ResetChartPaintSteps();
  ResetTrendLine();
}
