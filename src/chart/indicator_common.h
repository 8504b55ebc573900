// Helpers shared by the indicator and overlay computations (not for the chart's callers).
#pragma once

#include <cstdint>

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

// The bars a computation may use, made safe: every index lies inside the arrays, so a
// damaged series (indices out of range or out of order) computes less but never reads
// outside them.
struct SeriesSpan {
  int first;   // FirstData
  int start;   // DispStart, at least first
  int end;     // DispEnd
  int last;    // LastData
  bool empty;  // no bar from first to end
};
SeriesSpan SpanOf(const DispSeries& ds);

// A window taken from the settings: at least lo; anything longer than the series draws
// nothing, so it is cut to MAX_DATE + 1, which keeps index arithmetic in range.
int ClampWindow(int n, int lo);

// The usual first bar of a window of n bars: FirstData + n - 1, or DispStart when
// DispStart - n > FirstData.
int UsualStart(const SeriesSpan& sp, int n);
// The first bar of a window of n changes from the previous bar: the earliest change
// compares FirstData + 1 with FirstData, never a bar before the stock's data.
int ChangeStart(const SeriesSpan& sp, int n);

// Fills the values with NO_VALUE and sets the kind and the presentation; from and to are set by the
// caller (to < from leaves the line empty).
void BeginLine(IndicatorLine* line, LineKind kind, const char* title, const char* colour, int32_t flags,
               int32_t pen_style, int32_t pen_width, int32_t label_row);
// snprintf into one of the line's text fields.
void SetLineText(char (&field)[LINE_TEXT], const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Sets from and to, empties the line when from > to.
void SetLineRange(IndicatorLine* line, int from, int to);

// out[i] = the highest of x[i - n + 1 ... i] for i = from ... to; the caller makes sure that
// every window lies inside the array. O(to - from + n) without branches on the data.
void SlidingHighest(const int32_t* x, int n, int from, int to, int32_t* out);
void SlidingLowest(const int32_t* x, int n, int from, int to, int32_t* out);
