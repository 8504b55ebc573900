// The comparison chart's computations: up to seven stocks' closes over the bars the chart
// shows, as percentages of each stock's first close, on a logarithmic scale with its
// percentage grid and date axis. Each stock is read into this module's own buffers, so the
// chart's work record, display series and line list stay as the chart left them. The
// window (chart/ui/pnt_fgr_window) draws the plot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int COMPARE_SLOTS = 7;  // slot 0 the chart's stock, 1-3 typed codes, 4-6 similarity picks

struct CompareSlotStyle {
  int32_t colour;  // blue * 65536 + green * 256 + red, as the colour settings
  bool dotted;     // dotted pen of width 1 drawn four times, else solid of width 2
};
extern const CompareSlotStyle CompareSlotStyles[COMPARE_SLOTS];

// The closes of a stock over bars from .. to of a bar period (1 daily, 2 weekly, 3
// monthly), read into the module's own record and series buffers; 0 for a bar without
// data. False (and all 0) for a stock number outside the table or another period.
bool ReadCompareCloses(int stock_num, int ashi, int from, int to, std::vector<int32_t>* closes);

// Percentages of the first non-zero close: out[k] = closes[k] x 100 / base; a zero close
// is a bar without data and gives a negative value (no point).
std::vector<double> ComparePercents(const std::vector<int32_t>& closes);
inline bool CompareHasValue(double v) { return v > 0.0; }

// The plot's geometry for a drawing area of W x H.
struct CompareScale {
  double top = 0, bottom = 0;  // largest value x 1.07, smallest x 0.93
  double lt = 0, range = 0;    // log of top, log range (0.01 when not positive)
  double xstep = 1;            // pixels per bar
  int plotH = 1;
  int W = 0, H = 0;
};
// lo and hi: the smallest and largest value of the lines drawn (100 both when none).
CompareScale MakeCompareScale(double lo, double hi, int bars, int W, int H);
int CompareY(const CompareScale& s, double v);
int CompareX(const CompareScale& s, int k);

// The percentage grid: the next level after l, and the lines from 0 up to the first level
// not below top that fall inside the frame.
int NextCompareLevel(int l);
struct CompareGridLine {
  int level;
  int y;
  bool label;  // "%5d%%" written at (0, y - 4)
  bool solid;  // the 100 % line
};
std::vector<CompareGridLine> CompareGrid(const CompareScale& s);

// The date axis of bars from .. to: vertical lines (drawn when inside the frame) and
// labels written at y = H - 22. Nothing (with "AshiFlag Eroor2") for another period.
struct CompareDateMark {
  int x;
  bool line;
  bool label;
  int label_x;
  std::string text;
};
std::vector<CompareDateMark> CompareDateAxis(int ashi, int from, int to, const CompareScale& s);

// A whole plot: stocks[s] is the stock of slot s, or -1 for a slot not drawn.
struct ComparePlot {
  int stock[COMPARE_SLOTS];
  std::vector<double> values[COMPARE_SLOTS];  // by bar from `from`, empty for a slot not drawn
  int from = 0, to = -1;
  CompareScale scale;
  std::vector<CompareGridLine> grid;
  std::vector<CompareDateMark> dates;
};
// A slot whose stock number is outside the table writes "CCmpChartで銘柄コードがエラー"
// and is left out. from > to gives a plot without lines.
void BuildComparePlot(const int stocks[COMPARE_SLOTS], int ashi, int from, int to, int W, int H, ComparePlot* out);
