// The value tip's timer logic (every 100 ms in the chart window): after a second of rest
// the tip of the bar under the mouse shows, and it follows the mouse once shown.
#pragma once

#include <string>

// The tip enable flag: cleared while a menu or modal loop of the main window is idle.
extern int fTipEnable;

struct TipTick {
  int mouse_x, mouse_y;  // screen position
  bool dragging;         // a trend line is being dragged
  bool main_focused;     // the main window has the keyboard focus
  bool in_chart;         // the mouse lies inside the chart window, left of the labels
  int client_x = 0, client_y = 0;  // the mouse in the chart window (for the hit test)
  // A modal dialog or a menu is open: the tip waits, and takes up again once it closes.
  bool modal = false;
};

enum class TipAction { None, Show, Destroy };

// One tick. Show: the tip goes up at the mouse 20 pixels lower; Destroy: any tip goes.
TipAction ValueTipTimer(const TipTick& t);
// Rows of the tip: date, open, high, low, close, volume, averages 1 to 3, margin buy and
// margin sell balances.
constexpr int TIP_ROWS = 11;
constexpr int TIP_TEXT = 24;
enum TipRow { TIP_DATE, TIP_OPEN, TIP_HIGH, TIP_LOW, TIP_CLOSE, TIP_VOLUME, TIP_AVE1, TIP_AVE2, TIP_AVE3,
              TIP_MARGIN_BUY, TIP_MARGIN_SELL };

struct TipContent {
  char row[TIP_ROWS][TIP_TEXT];  // CP932 texts
  bool third = false;            // the period's third average is shown
  int period[3] = {0, 0, 0};     // the three average periods
  const char* unit = "";         // "日", "週" or "月"
  int height = 100;              // window height: cuts the margin rows when there are none
};
enum class TipResult { Keep, Miss, New };
// The content for the mouse at (mx, my) in the chart window, from what the last paint left
// behind. Keep: the tip shows this bar already (or the Ichimoku overlay is on); Miss: no
// bar under the mouse; New: `out` holds the new content.
TipResult BuildTipContent(int mx, int my, TipContent* out);
// The label column ("\n始\n高 ... 信売"): the leading line break keeps the date row free.
std::string TipLabelText(const TipContent& c);
// The tip window of the ui: shows the content at the screen position, or goes.
struct ValueTipWindowHooks {
  void (*show)(const TipContent& c, int screen_x, int screen_y) = nullptr;
  void (*destroy)() = nullptr;
};
void SetValueTipWindowHooks(const ValueTipWindowHooks& hooks);
// The tip for the mouse at client (mx, my), its window at screen (x, y) (20 pixels below
// the mouse): a new bar replaces the tip, no bar removes it.
void ShowValueTip(int mx, int my, int x, int y);
void DestroyValueTip();
bool ValueTipShown();
// Rest counter in ticks (tests).
int ValueTipRestCount();
void ResetValueTip();
