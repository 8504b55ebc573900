// Chart state that the settings file carries from run to run: bar period, moving averages,
// candle spacing, stepping filters, colours, indicator windows and the panes shown. The
// variables are named after their settings keys; their defaults and ranges are the rows of
// the settings table (shell/settings_table.cpp), which defines them. The chart reads and
// changes them.
#pragma once

#include <cstdint>

// Bar period shown: 1 daily, 2 weekly, 3 monthly (key "CandleKind").
extern int AshiFlag;

// Moving averages per bar period: {first, second} period and {third period, shown 0/1}.
extern int DayMoveAve[2], DayMoveAveThird[2];
extern int WeekMoveAve[2], WeekMoveAveThird[2];
extern int MonthMoveAve[2], MonthMoveAveThird[2];
constexpr int MOVE_AVE_MAX = 1000;  // longest average period the settings pages accept

// Candle spacing in pixels for daily, weekly, monthly bars; always one of HabaTable.
extern int CandleHaba[3];
constexpr int HABA_COUNT = 5;
inline constexpr int HabaTable[HABA_COUNT] = {4, 6, 8, 10, 12};
// The table spacing nearest to v (the smaller one on a tie), for any int.
int NearestHaba(int v);

// Stock-stepping filters and the wheel choice.
extern int ZengoShijou;    // market filter 0 (all) to ZENGO_SHIJOU_MAX
extern int ZengoDekidaka;  // volume filter 0 to ZENGO_DEKIDAKA_MAX
extern int ZengoTousan;    // skip stocks without price movement
extern int WheelFavorite;  // the wheel steps through the current favourites folder
constexpr int ZENGO_SHIJOU_MAX = 4;
constexpr int ZENGO_DEKIDAKA_MAX = 6;

// Height of the volume pane in per cent (read, never written).
extern int DekiHabaRitu;
constexpr int DEKI_HABA_MIN = 10, DEKI_HABA_MAX = 90;
// The cross cursor is on, and the character size of the cross-cursor windows.
extern int CrossView;
extern int CrossFontSize;
constexpr int CROSS_FONT_MIN = 8, CROSS_FONT_MAX = 72;

// Colours (blue * 65536 + green * 256 + red), with their red, green, blue components in the
// three standard schemes: 0 black background, 1 white background, 2 navy background.
#define VURN_CHART_COLOURS(X)                                                   \
  X(Clr_ChartBackGround, 0, 0, 0, 255, 255, 255, 0, 0, 128)                     \
  X(Clr_ChartKeisenTate, 0, 0, 255, 192, 192, 192, 128, 128, 128)               \
  X(Clr_ChartMemori, 0, 128, 128, 192, 192, 192, 128, 128, 128)                 \
  X(Clr_ChartMoji, 255, 255, 255, 0, 0, 0, 255, 255, 255)                       \
  X(Clr_ChartOwarine, 255, 255, 0, 255, 0, 0, 255, 255, 0)                      \
  X(Clr_ChartKabuka, 0, 255, 255, 0, 0, 255, 0, 255, 255)                       \
  X(Clr_Ashisen, 255, 255, 255, 0, 0, 0, 255, 255, 255)                         \
  X(Clr_AshiInsen, 255, 255, 255, 0, 0, 0, 255, 255, 255)                       \
  X(Clr_Yousen, 0, 0, 0, 255, 255, 255, 0, 0, 128)                              \
  X(Clr_Insen, 255, 255, 255, 0, 0, 0, 255, 255, 255)                           \
  X(Clr_Dekidaka, 0, 255, 0, 0, 128, 0, 0, 255, 0)                              \
  X(Clr_DekiMemori, 0, 0, 255, 192, 192, 192, 0, 0, 255)                        \
  X(Clr_AvgShort, 255, 127, 0, 255, 0, 0, 255, 127, 0)                          \
  X(Clr_AvgMiddle, 0, 255, 255, 0, 0, 255, 0, 255, 255)                         \
  X(Clr_AvgLong, 204, 255, 0, 0, 160, 0, 204, 255, 0)                           \
  X(Clr_ShinyoUri, 255, 51, 255, 255, 0, 255, 255, 51, 255)                     \
  X(Clr_ShinyoKai, 255, 255, 255, 0, 0, 0, 255, 255, 255)                       \
  X(Clr_Kakakutai, 63, 63, 255, 0, 192, 192, 63, 63, 255)                       \
  X(Clr_IchimokuKijun, 255, 255, 0, 0, 0, 255, 255, 255, 0)                     \
  X(Clr_IchimokuTenkan, 0, 255, 0, 255, 0, 255, 0, 255, 0)                      \
  X(Clr_IchimokuKumoUe, 102, 102, 102, 153, 153, 153, 102, 102, 102)            \
  X(Clr_IchimokuKumoSita, 128, 128, 128, 127, 127, 127, 128, 128, 128)          \
  X(Clr_IchimokuChiko, 255, 128, 0, 255, 127, 0, 255, 0, 255)                   \
  X(Clr_Psycho, 255, 255, 255, 0, 0, 0, 255, 255, 255)                          \
  X(Clr_RciShort, 255, 255, 0, 0, 128, 0, 255, 255, 0)                          \
  X(Clr_RciLong, 255, 0, 255, 255, 127, 0, 255, 0, 255)                         \
  X(Clr_Rsi, 0, 255, 255, 0, 0, 255, 0, 255, 255)                               \
  X(Clr_DmiADX, 160, 160, 160, 95, 95, 95, 160, 160, 160)                       \
  X(Clr_DmiPlus, 255, 255, 0, 0, 0, 255, 255, 255, 0)                           \
  X(Clr_DmiMinus, 0, 255, 0, 255, 0, 255, 0, 255, 0)                            \
  X(Clr_Volume, 0, 255, 0, 0, 128, 0, 0, 255, 0)                                \
  X(Clr_KairiPlus, 0, 255, 125, 130, 0, 255, 0, 255, 125)                       \
  X(Clr_KairiMinus, 255, 0, 0, 255, 0, 0, 255, 0, 0)                            \
  X(Clr_Stoc_K, 160, 160, 160, 95, 95, 95, 160, 160, 160)                       \
  X(Clr_Stoc_D, 255, 0, 255, 0, 128, 0, 255, 0, 255)                            \
  X(Clr_Stoc_SD, 255, 255, 0, 255, 127, 0, 255, 255, 0)                         \
  X(Clr_MACD_MACD, 255, 255, 0, 0, 128, 0, 255, 255, 0)                         \
  X(Clr_MACD_Kijun, 255, 0, 255, 255, 127, 0, 255, 0, 255)                      \
  X(Clr_MACD_Hist, 128, 128, 255, 127, 127, 0, 128, 128, 255)                   \
  X(Clr_TrendLine, 255, 0, 255, 0, 128, 255, 255, 128, 255)                     \
  X(Clr_PF_BATSU, 0, 0, 192, 0, 0, 192, 0, 0, 192)                              \
  X(Clr_PF_MARU, 255, 64, 0, 255, 64, 0, 255, 64, 0)                            \
  X(Clr_Parabolic, 0, 128, 255, 255, 128, 0, 192, 127, 255)

#define VURN_DECLARE_COLOUR(name, ...) extern int32_t name;
VURN_CHART_COLOURS(VURN_DECLARE_COLOUR)
#undef VURN_DECLARE_COLOUR

constexpr int32_t Rgb(int r, int g, int b) { return b * 65536 + g * 256 + r; }
constexpr int32_t CLR_MAX = 0xFFFFFF;

// The colour table in file order: the variable, its key and its colour in each scheme.
struct ClrEntry {
  int32_t* colour;
  const char* key;
  int32_t scheme[3];
};
constexpr int CLR_COUNT = 43;
extern const ClrEntry ClrTable[CLR_COUNT];

// Overlays of the price pane (key "DispChart3" positions 1, 2, 3 and 11).
extern int fViewKakakutai, fViewIchimoku, fViewBollinger, fViewParabolic;
// Lower indicator panes in display order (key "DispChart4") and the show flag of each kind
// 1 psychological, 2 RCI, 3 RSI, 4 DMI, 5 volume ratio, 6 stochastics, 7 deviation, 8 MACD.
constexpr int VIEW_SHIHYO_MAX = 8;
extern int ViewShihyo[VIEW_SHIHYO_MAX];
extern int nViewShihyo;
extern int fViewPsycho, fViewRCI, fViewRSI, fViewDMI, fViewVR, fViewStoc, fViewKairi, fViewMACD;
// Every show flag above with its command, in one list: the lower-pane kinds 1 to 8 in kind
// order, then the four overlays. The toggles, their check marks and whatever saves and
// puts back the view walk this list.
struct ViewFlagDef {
  int* flag;
  int command;
  int kind;  // 1 to 8 for a lower pane, 0 for an overlay
};
constexpr int VIEW_FLAG_COUNT = VIEW_SHIHYO_MAX + 4;
extern const ViewFlagDef ViewFlags[VIEW_FLAG_COUNT];
// The show flag of indicator kind 1 to 8, nullptr for any other kind.
int* ShihyoFlag(int kind);
// Sets the panes from a stored list: kinds are taken in order while they are 1 to 8 and
// fewer than eight were taken (a 0 or a larger number ends the list, a repeated kind is
// taken once); the show flags follow the list.
void SetViewShihyoFromList(const int* kinds, int count);

// Indicator windows (bars) and options.
extern int Ichimoku[2];      // base-line and conversion-line periods
extern int RCI[2];           // short and long periods
extern int RSI, Psycological, DMI, VR, Stoc;
extern int MACD[3];          // short smoothing, long smoothing, signal
extern int MACDHist;         // draw the MACD - signal bars
extern int Bollinger;        // bands drawn: bits 1 (1 sigma), 2 (2 sigma), 4 (3 sigma)
extern int Kairi[3];         // deviation-rate windows of daily, weekly, monthly bars
extern int DekiMoveAve;      // volume averages drawn: bits 1, 2, 4 for the three price averages
extern int DekidakaView;     // keep the volume pane while indicators are shown
constexpr int SHIHYO_WINDOW_MAX = 1000;
// Point-and-figure options: box size index 0 to PNTFGR_BOX_MAX, mark style 0 or 1.
extern int PntFgr[2];
constexpr int PNTFGR_BOX_MAX = 4;
// Comparison chart: which of the six lines are on, and the codes of the first three.
extern int CompareCheck[6];
extern int CompareCode[3];

