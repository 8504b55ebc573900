// The rubber-band trend line of the chart window: the left button drags it out in XOR
// (drawing a segment twice removes it); it is never stored and any repaint removes it.
// The chart window feeds the mouse events in and draws the strokes that come back.
#pragma once

struct TrendSegment {
  int x1, y1, x2, y2;
};

// The XOR strokes an event asks for, to be drawn in order.
struct TrendStrokes {
  int count = 0;
  TrendSegment seg[2];
};

struct TrendLineState {
  int drag;           // 0 none, 1 button down, 2 the line was moved while dragging
  bool drawn;         // the line stands on the picture
  TrendSegment line;  // from the button-down point to the mouse
  long long down_ms;  // when the button went down
};
extern TrendLineState TrendLine;

// A release this soon after the button went down takes the line away again (a click).
constexpr long long TREND_CLICK_MS = 300;

// Left button down at x, y: a new line starts there (a line left standing by an earlier
// drag stays on the picture until the next repaint). The window captures the mouse.
void TrendLineDown(int x, int y, long long now_ms);
// Mouse move while dragging: erases the line drawn, draws the new one to x, y.
TrendStrokes TrendLineMove(int x, int y);
// Left button up: ends the drag; a quick click erases the line. The window releases the
// mouse when a drag was on.
TrendStrokes TrendLineUp(long long now_ms);
// Right button during a drag: erases the line and ends the drag.
TrendStrokes TrendLineCancel();
// A full repaint took the line off the picture.
void TrendLineRepainted();
// Back to no drag and no line (tests).
void ResetTrendLine();
