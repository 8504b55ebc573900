// The point-and-figure figure of a run of closes: the box levels, the box of each close,
// the steps between them and the three-box reversal marks, plus the grid rules of its
// drawing. Plain functions; the window (chart/ui/pnt_fgr_window) draws the result.
#pragma once

#include <cstdint>
#include <vector>

// The box sizes offered: the choice list's texts and the box height as a fraction of the
// box's lower bound.
constexpr int PNTFGR_BOX_COUNT = 5;
extern const char* const PntFgrBoxText[PNTFGR_BOX_COUNT];
extern const double PntFgrBoxRatio[PNTFGR_BOX_COUNT];
// Every list of the figure holds at most this many entries.
constexpr int PNTFGR_LIST_MAX = 1024;

// The stored options as used: the box index and the mark style clamped into their ranges.
int PntFgrBoxIndex(int stored);
int PntFgrMarkStyle(int stored);

struct PntFgrFigure {
  std::vector<int32_t> levels;  // ascending lower bounds of the boxes (no sentinel)
  std::vector<int> boxes;       // box of each close used, in order
  std::vector<int8_t> steps;    // +1 / -1 per box crossed between consecutive closes
  std::vector<int8_t> marks;    // +1 cross, -1 circle, in drawing order
  int first_box = 0;            // box of the first close
  int nLevels = 0;              // levels + 1 (the sentinel), as the drawing counts rows
  int nColumns = 1;             // 1 + the sign changes between consecutive marks
};

// Builds the figure of closes[0 .. count-1] with the box ratio. Zero closes (bars without
// data) are left out. False, with the diagnostic line of the failure, when there is no
// close, a list would exceed PNTFGR_LIST_MAX entries, or no level holds a close; the
// figure is then not to be drawn.
bool BuildPntFgr(const int32_t* closes, int count, double ratio, PntFgrFigure* out);

// The box levels alone: unit boxes (minC, minC + 1, ..., maxC) when minC x ratio < 1, else
// each level the previous plus its truncated share. False (with "枠の作成でOver") beyond
// PNTFGR_LIST_MAX levels.
bool MakePntFgrLevels(int32_t minC, int32_t maxC, double ratio, std::vector<int32_t>* levels);

// The three-box reversal marks of a list of steps.
std::vector<int8_t> PntFgrMarks(const std::vector<int8_t>& steps);

// Whether the price of level i (0 .. nLevels - 2) is written on the grid.
bool PntFgrGridRow(int i, int nLevels);
// The price written for a level, rounded down to its leading digits.
int32_t PntFgrGridPrice(int32_t level);
