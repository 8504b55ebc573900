#include "chart/indicators/rci.h"

#include <algorithm>

#include "chart/indicator_common.h"

// The ranking follows the selection sort exactly, but without its n^2 search: the sort
// takes the values from the highest down, and within one value it takes the entries in
// their current place order. Each group of equal closes therefore keeps a min-heap of the
// places its entries hold; a swap moves the entry at the front (always the first of its
// own group) to the place of the taken one, which is one replace-top in that group's heap.
// The order by close comes from a sorted list kept across the sliding windows.

namespace {

struct RciWork {
  int ord[MAX_DATE];     // window entries (bar indices) by close, highest first, then by bar
  int group[MAX_DATE];   // group of the entry with date position d
  int heap[MAX_DATE];    // per group, from gstart: min-heap of the places of its entries
  int gstart[MAX_DATE];
  int gsize[MAX_DATE];
  int at[MAX_DATE];      // date position of the entry now at each place
};

void SiftDown(int* h, int size, int k) {
  const int v = h[k];
  for (;;) {
    int c = 2 * k + 1;
    if (c >= size) break;
    if (c + 1 < size && h[c + 1] < h[c]) ++c;
    if (h[c] >= v) break;
    h[k] = h[c];
    k = c;
  }
  h[k] = v;
}

// Sum of squared differences between date position and place after the sort; ord holds
// the window's bars b0 ... b0 + n - 1 in sort order.
int64_t RankDistance(const int32_t* close, int b0, int n, RciWork& w) {
  int groups = 0;
  for (int r = 0; r < n; ++r) {
    if (r == 0 || close[w.ord[r]] != close[w.ord[r - 1]]) {
      w.gstart[groups] = r;
      w.gsize[groups] = 0;
      ++groups;
    }
    const int d = w.ord[r] - b0;
    w.group[d] = groups - 1;
    w.heap[r] = d;  // ascending within a group, hence a valid heap
    ++w.gsize[groups - 1];
  }
  int64_t dist = 0;
  if (groups == n) {  // no ties: each entry ends at its rank
    for (int r = 0; r < n; ++r) {
      const int64_t diff = w.ord[r] - b0 - r;
      dist += diff * diff;
    }
    return dist;
  }
  for (int p = 0; p < n; ++p) w.at[p] = p;
  int cur = 0;
  for (int p = 0; p < n; ++p) {
    while (w.gsize[cur] == 0) ++cur;
    int* h = w.heap + w.gstart[cur];
    const int q = h[0];  // first place holding the highest remaining close
    const int size = --w.gsize[cur];
    if (size > 0) {
      h[0] = h[size];
      SiftDown(h, size, 0);
    }
    const int taken = w.at[q];
    if (q != p) {
      const int front = w.at[p];  // moves to place q
      const int g = w.group[front];
      int* hg = w.heap + w.gstart[g];
      hg[0] = q;  // its top was p
      SiftDown(hg, w.gsize[g], 0);
      w.at[q] = front;
    }
    const int64_t diff = taken - p;
    dist += diff * diff;
  }
  return dist;
}

double RciValue(int64_t dist, int n) {
  const double nn = n;
  return ((1 - 6 * static_cast<double>(dist) / (nn * (nn * nn - 1))) * (-100) + 100) * 0.5;
}

void RciLine(const int32_t* close, int n, int from, int to, double* value) {
  static RciWork w;  // about 68 KB; computations run on the chart's thread only
  auto before = [close](int a, int b) {
    return close[a] != close[b] ? close[a] > close[b] : a < b;
  };
  for (int i = from; i <= to; ++i) {
    const int b0 = i - n + 1;
    if (i == from) {
      for (int r = 0; r < n; ++r) w.ord[r] = b0 + r;
      std::sort(w.ord, w.ord + n, before);
    } else {
      int* gone = std::lower_bound(w.ord, w.ord + n, b0 - 1, before);
      std::copy(gone + 1, w.ord + n, gone);
      int* place = std::lower_bound(w.ord, w.ord + n - 1, i, before);
      std::copy_backward(place, w.ord + n - 1, w.ord + n);
      *place = i;
    }
    value[i] = RciValue(RankDistance(close, b0, n, w), n);
  }
}

}  // namespace

double RciOfWindow(const int32_t* close, int n) {
  static RciWork w;
  for (int r = 0; r < n; ++r) w.ord[r] = r;
  std::sort(w.ord, w.ord + n, [close](int a, int b) {
    return close[a] != close[b] ? close[a] > close[b] : a < b;
  });
  return RciValue(RankDistance(close, 0, n, w), n);
}

int CalcRCI(const DispSeries& ds, int ashi, int short_n, int long_n, IndicatorLine* out) {
  const int windows[RCI_LINES] = {ClampWindow(short_n, 2), ClampWindow(long_n, 2)};
  const char* colours[RCI_LINES] = {"Clr_RciShort", "Clr_RciLong"};
  const SeriesSpan sp = SpanOf(ds);
  for (int k = 0; k < RCI_LINES; ++k) {
    const int N = windows[k];
    IndicatorLine* line = &out[k];
    BeginLine(line, "ＲＣＩ(順位相関係数)", colours[k], LINE_PANE, PEN_SOLID, 1, k);
    SetLineText(line->label, "%2d%s", N, AshiUnitWord(ashi));
    SetLineText(line->short_label, "RCI(%d)", N);
    if (sp.empty) continue;
    const int from = UsualStart(sp, N);
    SetLineRange(line, from, sp.end);
    if (from <= sp.end) RciLine(ds.close, N, from, sp.end, line->value);
  }
  return RCI_LINES;
}
