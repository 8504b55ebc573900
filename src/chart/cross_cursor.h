// The cross cursor: a dotted cross-hair XORed over the chart image that follows the mouse,
// its vertical line snapped to the bar slots, and the price box that lists the values of
// the bar under the vertical line. Everything here reads what the last chart paint left
// behind (ChartSeries, ChartLines, Metrics); the windows live in chart/ui.
#pragma once

#include <functional>
#include <string>

constexpr int CROSS_VIEW_MAX = 40;
constexpr int CROSS_TEXT = 30;

struct CrossLine {
  char label[CROSS_TEXT];
  char value[CROSS_TEXT];
};

extern CrossLine CrossLines[CROSS_VIEW_MAX];
extern int nCrossLine;

// A line value: "%.0f" from a magnitude of 10000 on, else "%.1f", then separators.
std::string CrossValueText(double v);
// Cuts the label so that label and value fit 17 bytes together (double-byte characters
// kept whole; a label that would vanish becomes one blank).
void FitCrossLine(CrossLine* line);

// The date text of bar i in the current bar period, "" for a bar outside the calendar
// arrays (with the range message) or an unknown period.
std::string CrossDateText(int i);

// Builds the lines for bar i. False (nothing changed) for a bar outside the calendar
// arrays. Lines beyond CROSS_VIEW_MAX are dropped with one diagnostic line.
bool BuildCrossLines(int i);

// Draws the cross-hair at (x, y), the vertical line only when asked; drawing the same
// cross-hair twice must leave the image as it was.
using CrossDrawFn = std::function<void(int x, int y, bool vertical)>;
// Mode 0: the mouse moved to (mx, my); mode 1: the chart was just painted. Returns the bar
// whose lines were built, or -1 when the read-out stays.
int MoveCross(int mode, int mx, int my, const CrossDrawFn& draw);
// Position of the cross-hair drawn last, (-1, -1) before the first.
int CrossX();
int CrossY();
void ResetCross();

// The cross window: the ui registers how to create or destroy it and how to show the new
// lines (labels_same: only the values changed).
struct CrossWindowHooks {
  std::function<void(bool create)> set_window;
  std::function<bool()> exists;
  std::function<void(int lines)> resize;
  std::function<void(bool labels_same)> lines_changed;
};
void SetCrossWindowHooks(const CrossWindowHooks& hooks);
bool CrossWindowExists();
// The cross-hair follows the mouse: CrossView is on and its window exists (at start-up the
// setting is read before the posted command makes the window).
bool CrossCursorOn();
// Command 40143: switches the cross cursor on or off.
void ToggleCross();
// Registers command 40143 and its check mark.
void RegisterCrossCommands();
