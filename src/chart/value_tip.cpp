#include "chart/value_tip.h"

#include "chart/chart_layout.h"
#include "chart/chart_settings.h"
#include "chart/shown_stock.h"

int fTipEnable = 1;

namespace {
int g_rest = 0;
bool g_shown = false;
int g_x = -1, g_y = -1, g_ashi = 0, g_start = 0, g_disp = -1;
}  // namespace

void ShowValueTip(int, int) {
  // The value tip window is a later feature; the timer logic already runs.
}

void DestroyValueTip() { g_shown = false; }

bool ValueTipShown() { return g_shown; }
int ValueTipRestCount() { return g_rest; }

void ResetValueTip() {
  g_rest = 0;
  g_shown = false;
  g_x = g_y = -1;
  g_ashi = g_start = 0;
  g_disp = -1;
}

TipAction ValueTipTimer(const TipTick& t) {
  if (!fTipEnable || t.dragging || CrossView) return TipAction::None;
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
    ShowValueTip(t.mouse_x, t.mouse_y + 20);
    g_shown = true;
    return TipAction::Show;
  }
  DestroyValueTip();
  return TipAction::Destroy;
}
