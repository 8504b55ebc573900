#include "shell/main_keys.h"

#include "chart/chart_repaint.h"
#include "chart/chart_view.h"
#include "chart/stock_step.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "res/accelerators.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/shell_commands.h"
#include "platform/virtual_keys.h"


namespace {
// Shift switches the bar period only when released with no other key pressed meanwhile,
// so that typing a capital letter does not switch the chart.
bool g_shift_alone = false;
}  // namespace

void MainOnKeyDown(int vk) {
  if (vk != VK_SHIFT) g_shift_alone = false;
  switch (vk) {
    case VK_SHIFT:
      g_shift_alone = true;
      break;
    case VK_OEM_PLUS:
    case VK_ADD:
      HostPostCommand(IDM_SPACING_WIDER);
      break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
      HostPostCommand(IDM_SPACING_NARROWER);
      break;
    case VK_ESCAPE:
      RequestChartRepaint();
      return;
    case VK_SPACE:
      HostPostCommand(IDM_NEXT_STOCK);
      return;
    case VK_BACK:
      HostPostCommand(IDM_PREV_STOCK);
      return;
    default:
      if ((vk >= '0' && vk <= '9') || (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)) return;  // typed as characters
      break;
  }
  ChartScroll(vk);
}

void MainOnKeyUp(int vk) {
  if (vk == VK_SHIFT && g_shift_alone) HostPostCommand(IDM_ASHI_NEXT);
  g_shift_alone = false;
}

void MainOnChar(int ch) {
  if (ch >= '1' && ch <= '9') {
    if (OpenCodeInputDialog) OpenCodeInputDialog(ch - '0');
  } else if (ch == 'f' || ch == 'F') {
    OnCommand(IDM_NAME_SEARCH);
  } else if (ch == 'p') {
    HostPostCommand(IDM_PRT_WINDOW);
  }
}

void MainOnWheel(int delta) {
  int steps = delta / 120;
  if (steps == 0) return;
  if (FavoriteWheelHook && FavoriteWheelHook(steps)) return;
  // One notch towards the user moves forward.
  StepStock(-steps);
}

bool MainOnAccelerator(int vk, bool ctrl) {
  g_shift_alone = false;
  int id = FindAccelerator(vk, ctrl);
  if (id == 0) return false;
  // The key of a greyed item is taken but does nothing, as the item would.
  if (CommandEnabled(id)) OnCommand(id);
  return true;
}
