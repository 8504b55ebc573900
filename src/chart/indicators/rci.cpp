#include "chart/indicators/rci.h"

#include <algorithm>

#include "chart/indicator_common.h"

// The ranking follows the selection sort exactly, but without its n^2 search. The sort
// takes the closes from the highest down, and within one close the entries in the order of
// the places they hold when that close's turn comes; while a close waits for its turn, its
// entries move only when one stands at the front and is swapped away to the place of the
// entry taken. So each group of equal closes keeps the places of its entries in a list
// (updated in O(1) per swap through each entry's slot), and sorts that list when its turn
// comes. The order by close comes from a sorted list kept across the sliding windows.

namespace {

// Places, ranks and dates are below MAX_DATE and fit 16 bits, which keeps the work arrays
// in the first-level cache.
using Index = uint16_t;
static_assert(MAX_DATE <= 65536);

struct RciWork {
  int ord[MAX_DATE];      // window entries (bar indices) by close, highest first, then by bar
  Index place[MAX_DATE];  // per rank: the place of an entry of that rank's group
  Index slot[MAX_DATE];   // per date position: where in `place` its entry's place is kept
  Index group[MAX_DATE];  // per rank: the first rank of its group
  Index size[MAX_DATE];   // per group (at its first rank): its number of entries
  Index at[MAX_DATE];     // per place: the date position of the entry standing there
};

inline void Order(Index* p, int i, int j) {
  const Index a = p[i], b = p[j];
  p[i] = a < b ? a : b;
  p[j] = a < b ? b : a;
}

// Most groups hold two or three entries; those are put in order without branches.
void SortPlaces(Index* p, int m) {
  if (m <= 3) {
    if (m == 3) Order(p, 1, 2);
    Order(p, 0, 1);
    if (m == 3) Order(p, 1, 2);
    return;
  }
  if (m <= 16) {
    for (int i = 1; i < m; ++i) {
      const Index v = p[i];
      int j = i;
      for (; j > 0 && p[j - 1] > v; --j) p[j] = p[j - 1];
      p[j] = v;
    }
    return;
  }
  if (!std::is_sorted(p, p + m)) std::sort(p, p + m);
}

// Sum of squared differences between date position and place after the sort; ord holds
// the window's bars b0 ... b0 + n - 1 in sort order.
int64_t RankDistance(const int32_t* close, int b0, int n, RciWork& w) {
  int gs = 0;
  bool ties = false;
  for (int r = 0; r < n; ++r) {
    if (r == 0 || close[w.ord[r]] != close[w.ord[r - 1]]) {
      gs = r;
      w.size[r] = 0;
    } else {
      ties = true;
    }
    const int d = w.ord[r] - b0;
    w.group[r] = static_cast<Index>(gs);
    w.place[r] = static_cast<Index>(d);  // every entry starts at its date position
    w.slot[d] = static_cast<Index>(r);
    w.at[d] = static_cast<Index>(d);
    ++w.size[gs];
  }
  int64_t dist = 0;
  if (!ties) {  // each entry ends at its rank
    for (int r = 0; r < n; ++r) {
      const int64_t diff = w.place[r] - r;
      dist += diff * diff;
    }
    return dist;
  }
  for (int p = 0; p < n; ++p) {
    if (w.group[p] == p && w.size[p] > 1) SortPlaces(w.place + p, w.size[p]);  // its turn
    const int q = w.place[p];  // first place holding the highest remaining close
    const int64_t diff = w.at[q] - p;
    dist += diff * diff;
    if (q != p) {
      const Index front = w.at[p];  // the front entry moves to place q
      w.place[w.slot[front]] = static_cast<Index>(q);
      w.at[q] = front;
    }
  }
  return dist;
}

double RciValue(int64_t dist, int n) {
  const double nn = n;
  return ((1 - 6 * static_cast<double>(dist) / (nn * (nn * nn - 1))) * (-100) + 100) * 0.5;
}

void RciLine(const int32_t* close, int n, int from, int to, double* value) {
  static RciWork w;  // about 40 KB; computations run on the chart's thread only
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
  std::sort(w.ord, w.ord + n,
            [close](int a, int b) { return close[a] != close[b] ? close[a] > close[b] : a < b; });
  return RciValue(RankDistance(close, 0, n, w), n);
}

int CalcRCI(const DispSeries& ds, int ashi, int short_n, int long_n, IndicatorLine* out) {
  const int windows[RCI_LINES] = {ClampWindow(short_n, 2), ClampWindow(long_n, 2)};
  const char* colours[RCI_LINES] = {"Clr_RciShort", "Clr_RciLong"};
  const SeriesSpan sp = SpanOf(ds);
  for (int k = 0; k < RCI_LINES; ++k) {
    const int N = windows[k];
    IndicatorLine* line = &out[k];
    BeginLine(line, LineKind::Rci, "ＲＣＩ(順位相関係数)", colours[k], LINE_PANE, PEN_SOLID, 1, k);
    SetLineText(line->label, "%2d%s", N, AshiUnitWord(ashi));
    SetLineText(line->short_label, "RCI(%d)", N);
    if (sp.empty) continue;
    const int from = UsualStart(sp, N);
    SetLineRange(line, from, sp.end);
    if (from <= sp.end) RciLine(ds.close, N, from, sp.end, line->value);
  }
  return RCI_LINES;
}
