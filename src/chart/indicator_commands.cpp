#include "chart/indicator_commands.h"

#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/view_shihyo.h"
#include "platform/host.h"
#include "platform/command_dispatch.h"

namespace {

struct ToggleRow {
  int id;
  int* flag;
};

// The eight indicator toggles in kind order, then the overlays.
const ToggleRow kIndicatorToggles[] = {
    {IDM_VIEW_PSYCHO, &fViewPsycho}, {IDM_VIEW_RCI, &fViewRCI},   {IDM_VIEW_RSI, &fViewRSI},
    {IDM_VIEW_DMI, &fViewDMI},       {IDM_VIEW_VR, &fViewVR},     {IDM_VIEW_STOC, &fViewStoc},
    {IDM_VIEW_KAIRI, &fViewKairi},   {IDM_VIEW_MACD, &fViewMACD},
};
const ToggleRow kOverlayToggles[] = {
    {IDM_KAKAKUTAI, &fViewKakakutai}, {IDM_ICHIMOKU, &fViewIchimoku},
    {IDM_BOLLINGER, &fViewBollinger}, {IDM_PARABOLIC, &fViewParabolic},
};

int* FlagOf(int id) {
  for (const ToggleRow& r : kIndicatorToggles)
    if (r.id == id) return r.flag;
  for (const ToggleRow& r : kOverlayToggles)
    if (r.id == id) return r.flag;
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
  for (const ToggleRow& r : kIndicatorToggles) *r.flag = 0;
  fViewKakakutai = fViewBollinger = fViewParabolic = 0;
  if (fViewIchimoku) HostPostCommand(IDM_ICHIMOKU);
  DekiHabaRitu = 20;
  Refresh();
}

template <int I>
bool Checked() {
  return *FlagOf(I) != 0;
}

}  // namespace

void RegisterIndicatorCommands() {
  for (const ToggleRow& r : kIndicatorToggles) RegisterCommand(r.id, ToggleIndicator);
  RegisterCommand(IDM_KAKAKUTAI, ToggleIndicator);
  RegisterCommand(IDM_PARABOLIC, ToggleIndicator);
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

  RegisterCommandCheck(IDM_VIEW_PSYCHO, Checked<IDM_VIEW_PSYCHO>);
  RegisterCommandCheck(IDM_VIEW_RCI, Checked<IDM_VIEW_RCI>);
  RegisterCommandCheck(IDM_VIEW_RSI, Checked<IDM_VIEW_RSI>);
  RegisterCommandCheck(IDM_VIEW_DMI, Checked<IDM_VIEW_DMI>);
  RegisterCommandCheck(IDM_VIEW_VR, Checked<IDM_VIEW_VR>);
  RegisterCommandCheck(IDM_VIEW_STOC, Checked<IDM_VIEW_STOC>);
  RegisterCommandCheck(IDM_VIEW_KAIRI, Checked<IDM_VIEW_KAIRI>);
  RegisterCommandCheck(IDM_VIEW_MACD, Checked<IDM_VIEW_MACD>);
  RegisterCommandCheck(IDM_KAKAKUTAI, Checked<IDM_KAKAKUTAI>);
  RegisterCommandCheck(IDM_ICHIMOKU, Checked<IDM_ICHIMOKU>);
  RegisterCommandCheck(IDM_BOLLINGER, Checked<IDM_BOLLINGER>);
  RegisterCommandCheck(IDM_PARABOLIC, Checked<IDM_PARABOLIC>);
  RegisterCommandEnabled(IDM_BOLLINGER, [] { return fViewIchimoku == 0; });
}
