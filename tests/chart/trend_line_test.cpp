// The trend line's drag: which XOR strokes each mouse event asks for, checked on a picture
// in which drawing a segment twice removes it.
#include "chart/trend_line.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

namespace {

using Seg = std::tuple<int, int, int, int>;

struct Picture {
  std::set<Seg> lines;
  void Draw(const TrendStrokes& s) {
    for (int k = 0; k < s.count; ++k) {
      const Seg seg{s.seg[k].x1, s.seg[k].y1, s.seg[k].x2, s.seg[k].y2};
      if (!lines.erase(seg)) lines.insert(seg);
    }
  }
};

// One mouse event: d down, m move, u up, c right button (cancel), r a full repaint.
struct Event {
  char what;
  int x, y;
  long long ms;
};

struct DragCase {
  const char* what;
  std::vector<Event> events;
  std::set<Seg> left;  // on the picture at the end
  bool drawn;          // the line stands
};

const DragCase kCases[] = {
    {"quick drag is taken away", {{'d', 20, 100, 0}, {'m', 200, 150, 50}, {'m', 300, 60, 90}, {'u', 0, 0, 299}}, {}, false},
    {"slow drag stays", {{'d', 20, 100, 0}, {'m', 200, 150, 50}, {'m', 300, 60, 90}, {'u', 0, 0, 300}},
     {{20, 100, 300, 60}}, true},
    {"click without moving draws nothing", {{'d', 5, 5, 0}, {'u', 0, 0, 10}}, {}, false},
    {"right button ends the drag and erases", {{'d', 5, 5, 0}, {'m', 9, 9, 400}, {'c', 0, 0, 900}}, {}, false},
    {"a new drag leaves the old line standing",
     {{'d', 0, 0, 0}, {'m', 10, 10, 1}, {'u', 0, 0, 500}, {'d', 50, 50, 600}, {'m', 60, 70, 601}},
     {{0, 0, 10, 10}, {50, 50, 60, 70}}, true},
    {"a repaint during the drag took the line away",
     {{'d', 0, 0, 0}, {'m', 10, 10, 1}, {'r', 0, 0, 2}, {'m', 20, 20, 3}}, {{0, 0, 20, 20}}, true},
    {"moves and releases without a drag do nothing", {{'m', 10, 10, 0}, {'u', 0, 0, 1}, {'c', 0, 0, 2}}, {}, false},
};

TEST(TrendLine, XorStrokesOfEachDrag) {
  for (const DragCase& c : kCases) {
    SCOPED_TRACE(c.what);
    ResetTrendLine();
    Picture p;
    for (const Event& e : c.events) {
      switch (e.what) {
        case 'd': TrendLineDown(e.x, e.y, e.ms); break;
        case 'm': p.Draw(TrendLineMove(e.x, e.y)); break;
        case 'u': p.Draw(TrendLineUp(e.ms)); break;
        case 'c': p.Draw(TrendLineCancel()); break;
        case 'r':
          TrendLineRepainted();
          p.lines.clear();
          break;
      }
    }
    EXPECT_EQ(p.lines, c.left);
    EXPECT_EQ(TrendLine.drawn, c.drawn);
  }
}

TEST(TrendLine, DragStateWhileTheButtonIsDown) {
  ResetTrendLine();
  TrendLineDown(1, 2, 0);
  EXPECT_EQ(TrendLine.drag, 1);
  TrendLineMove(3, 4);
  EXPECT_EQ(TrendLine.drag, 2);
  TrendLineUp(1000);
  EXPECT_EQ(TrendLine.drag, 0);
}

}  // namespace
