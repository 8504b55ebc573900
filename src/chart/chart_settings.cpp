#include "chart/chart_settings.h"

#include <cstdlib>

#include "chart/indicator_commands.h"

// The settings variables themselves are defined with their rows in the settings table.

const ClrEntry ClrTable[CLR_COUNT] = {
#define VURN_COLOUR_ENTRY(name, r0, g0, b0, r1, g1, b1, r2, g2, b2) \
  {&name, #name, {Rgb(r0, g0, b0), Rgb(r1, g1, b1), Rgb(r2, g2, b2)}},
    VURN_CHART_COLOURS(VURN_COLOUR_ENTRY)
#undef VURN_COLOUR_ENTRY
};

int fViewKakakutai, fViewIchimoku, fViewBollinger, fViewParabolic;
int ViewShihyo[VIEW_SHIHYO_MAX];
int nViewShihyo;
int fViewPsycho, fViewRCI, fViewRSI, fViewDMI, fViewVR, fViewStoc, fViewKairi, fViewMACD;

const ViewFlagDef ViewFlags[VIEW_FLAG_COUNT] = {
    {&fViewPsycho, IDM_VIEW_PSYCHO, 1},   {&fViewRCI, IDM_VIEW_RCI, 2},         {&fViewRSI, IDM_VIEW_RSI, 3},
    {&fViewDMI, IDM_VIEW_DMI, 4},         {&fViewVR, IDM_VIEW_VR, 5},           {&fViewStoc, IDM_VIEW_STOC, 6},
    {&fViewKairi, IDM_VIEW_KAIRI, 7},     {&fViewMACD, IDM_VIEW_MACD, 8},       {&fViewKakakutai, IDM_KAKAKUTAI, 0},
    {&fViewIchimoku, IDM_ICHIMOKU, 0},    {&fViewBollinger, IDM_BOLLINGER, 0},  {&fViewParabolic, IDM_PARABOLIC, 0},
};

int NearestHaba(int v) {
  // Distances in 64 bits: v may be anything the settings file held.
  int best = HabaTable[0];
  for (int h : HabaTable)
    if (std::llabs(static_cast<long long>(h) - v) < std::llabs(static_cast<long long>(best) - v)) best = h;
  return best;
}

int* ShihyoFlag(int kind) { return kind >= 1 && kind <= VIEW_SHIHYO_MAX ? ViewFlags[kind - 1].flag : nullptr; }

void SetViewShihyoFromList(const int* kinds, int count) {
  for (int k = 1; k <= VIEW_SHIHYO_MAX; ++k) *ShihyoFlag(k) = 0;
  nViewShihyo = 0;
  for (int i = 0; i < count && nViewShihyo < VIEW_SHIHYO_MAX; ++i) {
    int* flag = ShihyoFlag(kinds[i]);
    if (!flag) break;
    if (*flag) continue;
    *flag = 1;
    ViewShihyo[nViewShihyo++] = kinds[i];
  }
  for (int i = nViewShihyo; i < VIEW_SHIHYO_MAX; ++i) ViewShihyo[i] = 0;
}
