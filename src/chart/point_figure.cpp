#include "chart/point_figure.h"

#include <algorithm>

#include "platform/diagnostics.h"

const char* const PntFgrBoxText[PNTFGR_BOX_COUNT] = {"10％", " 5％", " 3％", " 2％", " 1％"};
const double PntFgrBoxRatio[PNTFGR_BOX_COUNT] = {0.10, 0.05, 0.03, 0.02, 0.01};

int PntFgrBoxIndex(int stored) { return std::clamp(stored, 0, PNTFGR_BOX_COUNT - 1); }
int PntFgrMarkStyle(int stored) { return std::clamp(stored, 0, 1); }

bool MakePntFgrLevels(int32_t minC, int32_t maxC, double ratio, std::vector<int32_t>* levels) {
  levels->clear();
  if (static_cast<double>(minC) * ratio < 1.0) {
    // One price unit per box, up to and including the highest close, so the two highest
    // prices get boxes of their own.
    if (static_cast<int64_t>(maxC) - minC + 1 > PNTFGR_LIST_MAX) {
      PRT("枠の作成でOver\n");
      return false;
    }
    for (int32_t v = minC; v <= maxC; ++v) levels->push_back(v);
    return true;
  }
  levels->push_back(minC);
  while (levels->back() < maxC) {
    if (static_cast<int>(levels->size()) >= PNTFGR_LIST_MAX) {
      PRT("枠の作成でOver\n");
      return false;
    }
    const int64_t last = levels->back();
    const int64_t next = last + std::max<int64_t>(1, static_cast<int64_t>(static_cast<double>(last) * ratio));
    levels->push_back(next > 2147483646 ? 2147483646 : static_cast<int32_t>(next));
    if (levels->back() == last) break;  // the top of the value range
  }
  return true;
}

std::vector<int8_t> PntFgrMarks(const std::vector<int8_t>& steps) {
  std::vector<int8_t> marks;
  int s = 0, d = 0;
  const size_t n = steps.size();
  for (size_t k = 0; k < n; ++k) {
    s += steps[k];
    const int next = k + 1 < n ? steps[k + 1] : 0;
    if ((s >= 3 && next != 1) || (s == 1 && d == 1)) {
      marks.insert(marks.end(), static_cast<size_t>(s), int8_t{1});
      d = 1;
      s = 0;
    } else if ((s <= -3 && next != -1) || (s == -1 && d == -1)) {
      marks.insert(marks.end(), static_cast<size_t>(-s), int8_t{-1});
      d = -1;
      s = 0;
    }
  }
  return marks;
}

bool BuildPntFgr(const int32_t* closes, int count, double ratio, PntFgrFigure* out) {
  *out = PntFgrFigure{};
  std::vector<int32_t> used;
  for (int i = 0; i < count; ++i)
    if (closes[i] > 0) used.push_back(closes[i]);
  if (used.empty()) {
    PRT("n==0\n");
    return false;
  }
  if (used.size() > static_cast<size_t>(PNTFGR_LIST_MAX)) {
    PRT("終値が枠のどこに入るか、でOver\n");
    return false;
  }
  const auto [lo, hi] = std::minmax_element(used.begin(), used.end());
  if (!MakePntFgrLevels(*lo, *hi, ratio, &out->levels)) return false;
  out->nLevels = static_cast<int>(out->levels.size()) + 1;
  for (int32_t c : used) {
    // The box is the one below the first level that exceeds the close.
    const int m = static_cast<int>(std::upper_bound(out->levels.begin(), out->levels.end(), c) - out->levels.begin());
    if (m == 0) {
      PRT("終値が全部０ j==0\n");
      return false;
    }
    out->boxes.push_back(m - 1);
  }
  out->first_box = out->boxes[0];
  for (size_t i = 1; i < out->boxes.size(); ++i) {
    const int move = out->boxes[i] - out->boxes[i - 1];
    if (out->steps.size() + static_cast<size_t>(move < 0 ? -move : move) > static_cast<size_t>(PNTFGR_LIST_MAX)) {
      PRT(move > 0 ? "上昇検査中にOver\n" : "下降検査中にOver\n");
      return false;
    }
    out->steps.insert(out->steps.end(), static_cast<size_t>(move < 0 ? -move : move), int8_t(move > 0 ? 1 : -1));
  }
  out->marks = PntFgrMarks(out->steps);
  if (out->marks.size() > static_cast<size_t>(PNTFGR_LIST_MAX)) {
    PRT(out->marks.back() > 0 ? "上昇確認でOver\n" : "下降確認でOver\n");
    return false;
  }
  for (size_t i = 1; i < out->marks.size(); ++i)
    if (out->marks[i] != out->marks[i - 1]) ++out->nColumns;
  return true;
}

bool PntFgrGridRow(int i, int nLevels) {
  if (nLevels > 30) return i % (nLevels / 7) == 1;
  if (nLevels > 20) return i % 3 == 1;
  return i % 2 == 1;
}

int32_t PntFgrGridPrice(int32_t v) {
  if (v > 10000000) return v / 100000 * 100000;
  if (v > 1000000) return v / 10000 * 10000;
  if (v > 100000) return v / 1000 * 1000;
  if (v > 10000) return v / 100 * 100;
  if (v > 1000) return v / 10 * 10;
  return v;
}
