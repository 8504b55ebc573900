#include "chart/value_tip.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/cross_cursor.h"
#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "platform/diagnostics.h"
#include "platform/number_text.h"

int fTipEnable = 1;

namespace {
int g_rest = 0;
bool g_shown = false;   // the timer has put a tip up (it then follows the mouse)
bool g_window = false;  // a tip window is up
int g_x = -1, g_y = -1, g_ashi = 0, g_start = 0, g_disp = -1;
ValueTipWindowHooks g_hooks;
char g_last_date[TIP_TEXT] = "";  // content of the tip shown
int g_last_stock = -1;

void Put(char* dst, const char* src) {
  std::strncpy(dst, src, TIP_TEXT - 1);
  dst[TIP_TEXT - 1] = '\0';
}

}  // namespace

void SetValueTipWindowHooks(const ValueTipWindowHooks& hooks) { g_hooks = hooks; }

TipResult BuildTipContent(int mx, int my, TipContent* out) {
  if (fViewIchimoku) return TipResult::Keep;
  static const char* const kUnit[4] = {"", "日", "週", "月"};
  if (AshiFlag < 1 || AshiFlag > 3) {
    PRT("AshiFlag Error4\n");
    return TipResult::Miss;
  }
  const int* third = AshiFlag == 1 ? DayMoveAveThird : AshiFlag == 2 ? WeekMoveAveThird : MonthMoveAveThird;
  const ChartMetrics& m = Metrics;
  const DispSeries& s = ChartSeries;
  const int sp = m.Spacing > 0 ? m.Spacing : 1;
  int hit = -1;
  for (int i = m.DispStart; i <= m.DispEnd && i >= 0 && i < MAX_DATE; ++i) {
    const int c = m.BarX0 + (i - m.DispStart) * sp + sp / 2;
    if (c - m.HalfBody <= mx && mx <= c + m.HalfBody) {
      hit = i;
      break;
    }
  }
  bool inside = false;
  if (hit >= 0) {
    if (my < m.PriceBottom) inside = PriceY(m, s.high[hit]) - 5 <= my && my <= PriceY(m, s.low[hit]) + 5;
    else inside = DekidakaView != 0 && DekiY(m, s.deki[hit]) <= my && my <= m.MainH - 20;
  }
  if (!inside) {
    g_last_stock = -1;
    return TipResult::Miss;
  }
  const std::string date = CrossDateText(hit);  // range check with its message
  if (date.empty()) return TipResult::Miss;
  if (date == g_last_date && DispNum == g_last_stock) return TipResult::Keep;
  Put(g_last_date, date.c_str());
  g_last_stock = DispNum;

  TipContent& c = *out;
  c = TipContent{};
  c.third = third[1] != 0;
  c.unit = kUnit[AshiFlag];
  for (int k = 0; k < 3; ++k) c.period[k] = GetMoveAveTerm(AshiFlag, k);
  Put(c.row[TIP_DATE], date.c_str());
  Put(c.row[TIP_OPEN], CommaAdd(s.open[hit]));
  Put(c.row[TIP_HIGH], CommaAdd(s.high[hit]));
  Put(c.row[TIP_LOW], CommaAdd(s.low[hit]));
  Put(c.row[TIP_CLOSE], CommaAdd(s.close[hit]));
  Put(c.row[TIP_VOLUME], CommaAdd(s.deki[hit]));
  for (int k = 0; k < 3; ++k) {
    if (k == 2 && !c.third) break;
    const bool has = k < nChartLine && hit < LINE_VALUE_COUNT && LineHasValue(ChartLines[k], hit);
    Put(c.row[TIP_AVE1 + k], CommaAdd(has ? static_cast<int64_t>(std::trunc(ChartLines[k].value[hit])) : 0));
  }
  Put(c.row[TIP_MARGIN_BUY], CommaAdd(s.margin_buy[hit]));
  Put(c.row[TIP_MARGIN_SELL], CommaAdd(s.margin_sell[hit]));
  c.height = (ChartRecordFlag & FLAG_MARGIN) && DekidakaView == 1 ? 124 : 100;
  if (c.third) c.height += 12;
  return TipResult::New;
}

std::string TipLabelText(const TipContent& c) {
  char buf[160];
  if (c.third)
    std::snprintf(buf, sizeof buf, "\n始\n高\n安\n終\n出\n%d%s平\n%d%s平\n%d%s平\n信買\n信売", c.period[0], c.unit,
                  c.period[1], c.unit, c.period[2], c.unit);
  else
    std::snprintf(buf, sizeof buf, "\n始\n高\n安\n終\n出\n%d%s平\n%d%s平\n信買\n信売", c.period[0], c.unit,
                  c.period[1], c.unit);
  return buf;
}

void ShowValueTip(int mx, int my, int x, int y) {
  TipContent c;
  switch (BuildTipContent(mx, my, &c)) {
    case TipResult::Keep: return;
    case TipResult::Miss: DestroyValueTip(); return;
    case TipResult::New:
      if (g_window && g_hooks.destroy) g_hooks.destroy();
      g_window = g_hooks.show != nullptr;
      if (g_hooks.show) g_hooks.show(c, x, y + 1);
      return;
  }
}

void DestroyValueTip() {
  if (g_window && g_hooks.destroy) g_hooks.destroy();
  g_window = false;
  g_shown = false;
  g_last_stock = -1;  // a tip taken down comes back on the same bar
}

bool ValueTipShown() { return g_shown; }
int ValueTipRestCount() { return g_rest; }

void ResetValueTip() {
  g_rest = 0;
  g_shown = false;
  g_x = g_y = -1;
  g_ashi = g_start = 0;
  g_disp = -1;
  g_last_date[0] = '\0';
  g_last_stock = -1;
}

TipAction ValueTipTimer(const TipTick& t) {
  if (!fTipEnable || t.modal || t.dragging || CrossView) return TipAction::None;
  const bool moved = t.mouse_x != g_x || t.mouse_y != g_y || AshiFlag != g_ashi ||
                     Metrics.DispStart != g_start || DispNum != g_disp;
  if (moved) {
    if (g_shown) g_rest = 10;  // a shown tip follows the mouse at once
    if (DispNum != g_disp) {
      DestroyValueTip();
      g_rest = 0;
    }
    g_x = t.mouse_x;
    g_y = t.mouse_y;
    g_ashi = AshiFlag;
    g_start = Metrics.DispStart;
    g_disp = DispNum;
  } else {
    if (g_shown) return TipAction::None;
    ++g_rest;
  }
  if (g_rest < 10) return TipAction::None;
  g_rest = 0;
  if (t.main_focused && t.in_chart) {
    ShowValueTip(t.client_x, t.client_y, t.mouse_x, t.mouse_y + 20);
    g_shown = true;
    return TipAction::Show;
  }
  DestroyValueTip();
  return TipAction::Destroy;
}
