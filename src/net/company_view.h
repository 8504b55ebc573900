// What the company window shows, computed without the desktop: the peer comparison within
// the same market and industry, the lines of the short and the long page, the change
// chart's segments and the year-on-year verdicts.
#pragma once

#include <string>

#include "net/company_file.h"

constexpr int FUN_LINE_HEIGHT = 14;
constexpr int FUN_PAGE_LINES = 90;  // lines of the long page

// PER, PBR, ROE and dividend yield.
enum FunFigure { FUN_PER, FUN_PBR, FUN_ROE, FUN_YIELD, FUN_FIGURES };

struct FunPeerStats {
  int stock = -1;  // the stock they were computed for
  int n = 0;       // peers, the stock itself included
  double value[FUN_FIGURES] = {};
  double average[FUN_FIGURES] = {};
  int place[FUN_FIGURES] = {};
};

// The four figures of stock k (PER, PBR and yield from the screening data, ROE from the stock
// table).
double FunFigureOf(int k, int figure);
// The peers of stock a: every stock of the same market with exactly the same industry text.
// A low PER and a high PBR, ROE and yield place first; a figure of a that is 0 or less takes
// the last place n.
FunPeerStats ComputePeerStats(int a);

// Short page line i (no record downloaded); " " for a line without text.
std::string FunShortLine(int i, const FunPeerStats& s);
// Long page line i for the record; " " for a line without text.
std::string FunLongLine(int i, const FunRecord& r, const FunPeerStats& s);

// A cell read as a number: thousands separators removed; 0 when it holds no number.
double FunCellNumber(const char* cell);
// The value for the change chart: doubled for an interim period (its period text holds "中")
// in the income-statement columns.
double FunPeriodValue(const FunRecord& r, int row, int column);
// True when column holds a profit-and-loss figure.
bool FunIsPlColumn(int column);
// The financial labels of the window, by column.
extern const char* const FunColumnLabel[FUN_COLUMNS];

// The change chart: a percentage p is drawn at y = trunc(p * (top - mid) / 60 + mid).
struct FunChartBox {
  int top, mid, bottom;
  int Y(double p) const { return static_cast<int>(p * (top - mid) / 60.0 + mid); }
};
FunChartBox FunChartBoxAt(int scroll);
struct FunSegment {
  int x0, y0, x1, y1;
};
// The part of the segment (x0, p0) - (x1, p1) inside the band -60 % .. +60 %; false when
// none of it is (both ends beyond the same edge).
bool FunClipSegment(const FunChartBox& box, int x0, double p0, int x1, double p1, FunSegment* out);

// A series of the change chart: the change of rows 1 and 2 against row 0 in percent.
struct FunChange {
  bool shown = false;  // rows 0 and 1 have values
  bool has_r2 = false;
  double r1 = 0, r2 = 0;
};
FunChange FunChangeOf(const FunRecord& r, int column);

// The verdict of a change from a to b: "----" (either is 0), "上昇", "下降" or "不変"; *rgb is
// its colour (0xRRGGBB).
const char* FunVerdict(double a, double b, unsigned* rgb);
