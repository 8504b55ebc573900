// The settings pages ("各種設定"): what each page shows when it opens and what it stores at
// OK, as plain values, so the sheet's widgets only copy them in and out. Every value goes
// through its row of the settings table, which replaces a value out of range as the load of
// the settings file does.
#pragma once

#include <cstdint>

// Page "移動平均線": periods daily, weekly, monthly (first, second, third each).
struct MoveAvePage {
  int period[9];     // 1046 1047 1052, 1048 1049 1053, 1050 1051 1054
  int third[3];      // 1262 1263 1264: the third average is shown
  int no_volume;     // 1421: no volume while indicators are shown
  int deki_ave[3];   // 1418 1419 1420: volume averages of the red, blue and yellow lines
};
MoveAvePage LoadMoveAvePage();
// Nullptr when stored; else the message shown (nothing of the page is stored).
const char* ApplyMoveAvePage(const MoveAvePage& p);

// Page "各種チャート１": Ichimoku (base, turn), psychological, RCI (short, long), RSI, DMI, VR,
// stochastics.
struct WindowPage {
  int value[9];  // 1204 1210 1205 1206 1207 1208 1209 1211 1212
};
WindowPage LoadWindowPage();
void ApplyWindowPage(const WindowPage& p);

// Page "各種チャート２".
struct Chart2Page {
  int macd[3];       // 1383 1384 1385
  int macd_hist;     // 1417
  int bollinger[3];  // 1406 1407 1408: ±1σ, ±2σ, ±3σ
  int kairi[3];      // 1412 1415 1416
};
Chart2Page LoadChart2Page();
void ApplyChart2Page(const Chart2Page& p);

// Page "表示銘柄の選別".
struct FilterPage {
  int market;       // 1366
  int volume;       // 1367
  int tousan;       // 1415
  int wheel_fav;    // 1416
  int rigui;        // 1197 (per cent)
  int sonkiri;      // 1198 (per cent, shown positive)
};
FilterPage LoadFilterPage();
void ApplyFilterPage(const FilterPage& p);

// Page "色、フォント".
constexpr int CROSS_FONT_CHOICES = 7;
extern const int CrossFontChoice[CROSS_FONT_CHOICES];
// The scheme whose background is the current one (0 when none is).
int CurrentColourScheme();
// Turns every colour to scheme 0 to 2 at once, with a diagnostic line per colour.
void ApplyColourScheme(int scheme);
// The item of the font-size list for CrossFontSize (1, "小さい", when none matches).
int CrossFontChoiceIndex();
// The colour keys of lists 1398 (18 items) and 1399 (25 items), by item.
constexpr int CHART_COLOUR_ITEMS = 18, INDICATOR_COLOUR_ITEMS = 25;
extern const char* const ChartColourItem[CHART_COLOUR_ITEMS][2];      // {item text, key}
extern const char* const IndicatorColourItem[INDICATOR_COLOUR_ITEMS][2];
// The colour variable of a key, or nullptr.
int32_t* ColourOfKey(const char* key);

// Page "その他".
struct NetworkPage {
  int use_proxy;    // 1194
  char host[256];   // 1195
  int port;         // 1196
  int win_inet;     // 40155
  int auto_dl;      // 1197
  int hour, minute; // 1433: the timed download's time
};
NetworkPage LoadNetworkPage();
void ApplyNetworkPage(const NetworkPage& p);

// A box's text read as an unsigned decimal number: leading digits count, anything else
// reads as 0 ("12ab" is 12, "" and "x" are 0).
int ReadBoxNumber(const char* text);
