#include "chart/trend_line.h"

TrendLineState TrendLine = {0, false, {0, 0, 0, 0}, 0};

namespace {

void Add(TrendStrokes* s, const TrendSegment& seg) {
  if (s->count < 2) s->seg[s->count++] = seg;
}

TrendStrokes EndDrag(bool erase) {
  TrendStrokes s;
  if (erase && TrendLine.drawn) {
    Add(&s, TrendLine.line);
    TrendLine.drawn = false;
  }
  TrendLine.drag = 0;
  return s;
}

}  // namespace

void TrendLineDown(int x, int y, long long now_ms) {
  TrendLine.line = {x, y, x, y};
  TrendLine.drawn = false;
  TrendLine.drag = 1;
  TrendLine.down_ms = now_ms;
}

TrendStrokes TrendLineMove(int x, int y) {
  TrendStrokes s;
  if (!TrendLine.drag) return s;
  if (TrendLine.drawn) Add(&s, TrendLine.line);
  TrendLine.line.x2 = x;
  TrendLine.line.y2 = y;
  Add(&s, TrendLine.line);
  TrendLine.drawn = true;
  TrendLine.drag = 2;
  return s;
}

TrendStrokes TrendLineUp(long long now_ms) {
  if (!TrendLine.drag) return {};
  return EndDrag(now_ms - TrendLine.down_ms < TREND_CLICK_MS);
}

TrendStrokes TrendLineCancel() {
  if (!TrendLine.drag) return {};
  return EndDrag(true);
}

void TrendLineRepainted() { TrendLine.drawn = false; }

void ResetTrendLine() { TrendLine = {0, false, {0, 0, 0, 0}, 0}; }
