#include "chart/chart_settings.h"

#include <cstdlib>

#include "chart/indicator_commands.h"

// Defined here without values: ResetChartSettings is the one place that gives them.
int AshiFlag;
int DayMoveAve[2], DayMoveAveThird[2];
int WeekMoveAve[2], WeekMoveAveThird[2];
int MonthMoveAve[2], MonthMoveAveThird[2];
int CandleHaba[3];
int ZengoShijou, ZengoDekidaka, ZengoTousan, WheelFavorite;
int DekiHabaRitu;
int CrossView;
int CrossFontSize;

#define VURN_DEFINE_COLOUR(name, ...) int32_t name;
VURN_CHART_COLOURS(VURN_DEFINE_COLOUR)
#undef VURN_DEFINE_COLOUR

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

int Ichimoku[2];
int RCI[2];
int RSI, Psycological, DMI, VR, Stoc;
int MACD[3];
int MACDHist;
int Bollinger;
int Kairi[3];
int DekiMoveAve;
int DekidakaView;
int PntFgr[2];
int CompareCheck[6];
int CompareCode[3];

namespace {
[[maybe_unused]] const bool kDefaultsSet = (ResetChartSettings(), true);
}

int NearestHaba(int v) {
  int best = HabaTable[0];
  for (int h : HabaTable)
    if (std::abs(h - v) < std::abs(best - v)) best = h;
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

void ResetChartSettings() {
  AshiFlag = 1;
  DayMoveAve[0] = 15, DayMoveAve[1] = 39, DayMoveAveThird[0] = 150, DayMoveAveThird[1] = 0;
  WeekMoveAve[0] = 13, WeekMoveAve[1] = 26, WeekMoveAveThird[0] = 70, WeekMoveAveThird[1] = 0;
  MonthMoveAve[0] = 13, MonthMoveAve[1] = 26, MonthMoveAveThird[0] = 52, MonthMoveAveThird[1] = 0;
  CandleHaba[0] = 12, CandleHaba[1] = 8, CandleHaba[2] = 6;
  ZengoShijou = ZengoDekidaka = ZengoTousan = WheelFavorite = 0;
  DekiHabaRitu = 20;
  CrossView = 1;
  CrossFontSize = 12;
  for (const ClrEntry& c : ClrTable) *c.colour = c.scheme[0];
  fViewKakakutai = fViewIchimoku = fViewBollinger = fViewParabolic = 0;
  SetViewShihyoFromList(nullptr, 0);
  Ichimoku[0] = 26, Ichimoku[1] = 9;
  RCI[0] = 8, RCI[1] = 12;
  RSI = 9, Psycological = 12, DMI = 14, VR = 14, Stoc = 5;
  MACD[0] = 5, MACD[1] = 20, MACD[2] = 9;
  MACDHist = 0;
  Bollinger = 2;
  Kairi[0] = DayMoveAve[0], Kairi[1] = WeekMoveAve[0], Kairi[2] = MonthMoveAve[0];
  DekiMoveAve = 0;
  DekidakaView = 1;
  PntFgr[0] = PntFgr[1] = 0;
  for (int& c : CompareCheck) c = 0;
  CompareCheck[0] = 1;
  CompareCode[0] = 1001, CompareCode[1] = 1002, CompareCode[2] = 1007;
}
