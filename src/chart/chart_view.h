// The chart's view state for the run: candle spacing and scroll position per bar period,
// the bars across the price pane, the high/low marks, the scroll bar's range, and the
// operations that change them (bar period, spacing, scrolling, re-ranging).
#pragma once

// Per bar period (daily, weekly, monthly): index into HabaTable, and the bar index of the
// rightmost slot shown (a day, week or month index).
extern int HabaIndex[3];
extern int ScrollPos[3];
// Bar slots across the price pane, set by every paint.
extern int nDispBar;
// The high/low price marks are on (1 at start, not kept).
extern int fHighLowMark;

// The scroll bar as last set: range min ... max and position.
struct ChartScrollState {
  int min, max, pos;
};
extern ChartScrollState ChartScrollBar;

// The spacing of the current bar period in pixels (12 for a bar period outside 1 to 3).
int CurrentSpacing();
// Index of a spacing in HabaTable; a spacing not in the table gets the nearest entry.
int HabaIndexOf(int spacing);
// The calendar's last bar index of a bar period: the last day, week or month index
// (-1 for an empty calendar or a bar period outside 1 to 3).
int CalendarLastBar(int ashi);
// The shown stock's first and last bar with data in a bar period; false (first > last)
// when it has none.
bool StockBarRange(int ashi, int* first, int* last);
// Ichimoku's base period less one while the Ichimoku overlay is on, else 0: the room
// the scroll range leaves to the right of the last bar for the cloud.
int IchimokuLead();

// Start-up: spacing indices from the stored spacings, every period scrolled to the
// calendar's last bar, the indicator pane list made consistent, the current period
// re-ranged and the bar-period box selected.
void ChartOnStartup();
// After a period change, at start-up and when the Ichimoku overlay is toggled.
void ReRangeChart();
// The scroll bar's codes for ChartScroll; the other codes it takes are key codes.
enum ChartScrollCode : int {
  SCROLL_LINE_LEFT = 0,
  SCROLL_LINE_RIGHT = 1,
  SCROLL_PAGE_LEFT = 2,
  SCROLL_PAGE_RIGHT = 3,
  SCROLL_THUMB = 4,  // the thumb was released at `thumb`
};
// One scroll-bar code or key code (arrows, Page Up/Down, Home, End); other codes keep the
// position. Repaints when the position changed.
void ChartScroll(int code, int thumb = 0);
// Sets the bar period (1 to 3), re-ranges and repaints.
void SetAshi(int ashi);
// Moves the spacing of the current period by one table step; false when it stayed.
bool ChangeSpacing(int step);
// Volume pane share: the next of 20, 30, 40, 50, 60 (after 60 back to 20); a value outside
// that list stays.
void NextVolumeShare();
// Puts the view state back to its start: the shown stock, the previous paint and the
// trend line too (tests).
void ResetChartView();
