#include "chart/chart_commands.h"

#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/cross_cursor.h"
#include "chart/indicator_commands.h"
#include "chart/stock_step.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"

namespace {

void StepCommand(int id) {
  switch (id) {
    case IDM_PREV_STOCK: StepStock(-1); break;
    case IDM_NEXT_STOCK: StepStock(1); break;
    case IDM_STEP_BACK_10: StepStock(-10); break;
    case IDM_STEP_FORWARD_10: StepStock(10); break;
    case IDM_STEP_BACK_200: StepStock(-200); break;
    case IDM_STEP_FORWARD_200: StepStock(200); break;
    default: break;
  }
}

}  // namespace

void RegisterChartCommands() {
  RegisterCrossCommands();
  RegisterCommand(IDM_ASHI_DAILY, [](int) { SetAshi(1); });
  RegisterCommand(IDM_ASHI_WEEKLY, [](int) { SetAshi(2); });
  RegisterCommand(IDM_ASHI_MONTHLY, [](int) { SetAshi(3); });
  RegisterCommand(IDM_ASHI_DAILY_KEY, [](int) { SetAshi(1); });
  RegisterCommand(IDM_ASHI_NEXT, [](int) { SetAshi(AshiFlag >= 1 && AshiFlag < 3 ? AshiFlag + 1 : 1); });
  RegisterCommand(IDM_ASHI_BOX, [](int) { SetAshi(static_cast<int>(CommandParam)); });
  RegisterCommand(IDM_SPACING_WIDER, [](int) {
    if (ChangeSpacing(1)) RequestChartRepaint();
  });
  RegisterCommand(IDM_SPACING_NARROWER, [](int) {
    if (ChangeSpacing(-1)) RequestChartRepaint();
  });
  RegisterCommand(IDM_VOLUME_SHARE, [](int) {
    NextVolumeShare();
    RequestChartRepaint();
  });
  RegisterCommand(IDM_HIGH_LOW_MARK, [](int) {
    fHighLowMark = !fHighLowMark;
    RequestChartRepaint();
  });
  RegisterCommandCheck(IDM_HIGH_LOW_MARK, [] { return fHighLowMark != 0; });
  RegisterCommandRange(IDM_PREV_STOCK, IDM_STEP_FORWARD_200, StepCommand);
  RegisterIndicatorCommands();
}
