#include "chart/indicator_commands.h"

#include <utility>

#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/view_shihyo.h"
#include "platform/host.h"
#include "platform/command_dispatch.h"

namespace {

int* FlagOf(int id) {
  for (const ViewFlagDef& v : ViewFlags)
    if (v.command == id) return v.flag;
  return nullptr;
}

// After a flag changed: the pane list follows the flags (the menus read their marks from
// the flags) and the chart is drawn again.
void Refresh() {
  RebuildViewShihyo();
  RequestChartRepaint();
}

void ToggleIndicator(int id) {
  if (int* f = FlagOf(id)) *f = !*f;
  Refresh();
}

void ToggleIchimoku(int) {
  fViewIchimoku = !fViewIchimoku;
  // The bands are drawn around the first moving average, which the Ichimoku lines replace.
  if (fViewIchimoku) fViewBollinger = 0;
  ReRangeChart();
  Refresh();
}

void ToggleBollinger(int) {
  // Greyed while the Ichimoku chart is on; its accelerator must not switch it on either.
  if (fViewIchimoku) return;
  fViewBollinger = !fViewBollinger;
  Refresh();
}

void BackToVolume(int) {
  for (const ViewFlagDef& v : ViewFlags)
    if (v.kind) *v.flag = 0;
  fViewKakakutai = fViewBollinger = fViewParabolic = 0;
  if (fViewIchimoku) HostPostCommand(IDM_ICHIMOKU);
  DekiHabaRitu = 20;
  Refresh();
}

template <size_t I>
bool FlagOn() {
  return *ViewFlags[I].flag != 0;
}

template <size_t... I>
void RegisterCheckMarks(std::index_sequence<I...>) {
  (RegisterCommandCheck(ViewFlags[I].command, FlagOn<I>), ...);
}

}  // namespace

void RegisterIndicatorCommands() {
  for (const ViewFlagDef& v : ViewFlags) RegisterCommand(v.command, ToggleIndicator);
  RegisterCommand(IDM_ICHIMOKU, ToggleIchimoku);
  RegisterCommand(IDM_BOLLINGER, ToggleBollinger);
  RegisterCommand(IDM_SHIHYO_NEXT, [](int) {
    StepShihyo(1);
    RequestChartRepaint();
  });
  RegisterCommand(IDM_SHIHYO_PREV, [](int) {
    StepShihyo(-1);
    RequestChartRepaint();
  });
  RegisterCommand(IDM_BACK_TO_VOLUME, BackToVolume);

  RegisterCheckMarks(std::make_index_sequence<VIEW_FLAG_COUNT>{});
  RegisterCommandEnabled(IDM_BOLLINGER, [] { return fViewIchimoku == 0; });
}
