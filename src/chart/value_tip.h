// The value tip's timer logic (every 100 ms in the chart window): after a second of rest
// the tip of the bar under the mouse shows, and it follows the mouse once shown.
#pragma once

// The tip enable flag: cleared while a menu or modal loop of the main window is idle.
extern int fTipEnable;

struct TipTick {
  int mouse_x, mouse_y;  // screen position
  bool dragging;         // a trend line is being dragged
  bool main_focused;     // the main window has the keyboard focus
  bool in_chart;         // the mouse lies inside the chart window, left of the labels
};

enum class TipAction { None, Show, Destroy };

// One tick. Show: the tip goes up at the mouse 20 pixels lower; Destroy: any tip goes.
TipAction ValueTipTimer(const TipTick& t);
// The tip itself (a later feature): nothing is shown yet.
void ShowValueTip(int x, int y);
void DestroyValueTip();
bool ValueTipShown();
// Rest counter in ticks (tests).
int ValueTipRestCount();
void ResetValueTip();
