#include "chart/comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/bar_date.h"
#include "chart/chart_view.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "db/week_month_bars.h"
#include "platform/diagnostics.h"

const CompareSlotStyle CompareSlotStyles[COMPARE_SLOTS] = {
    {0xFF0000, false},  // #0000FF
    {0x0000FF, false},  // #FF0000
    {0x00A000, false},  // #00A000
    {0x000000, false},  // #000000
    {0x4000FF, true},   // #FF0040
    {0x008040, true},   // #408000
    {0x804000, true},   // #004080
};

namespace {

// The comparison's own buffers: one record and one weekly and monthly series, reused for
// every slot (the chart's work record and caches are never touched).
Hiashi g_record;
Shuashi g_weeks;
Tsukiashi g_months;

double LogOf(double v) { return v <= 0.0 ? 0.0 : std::log(v); }

}  // namespace

bool ReadCompareCloses(int stock_num, int ashi, int from, int to, std::vector<int32_t>* closes) {
  closes->assign(to >= from ? static_cast<size_t>(to - from + 1) : 0, 0);
  const int count = LastKabu < 0 ? 0 : std::min(LastKabu, MAX_KABU);
  if (stock_num < 0 || stock_num >= count || ashi < 1 || ashi > 3) return false;
  ReadRecord(stock_num, &g_record);
  const Hiashi& h = g_record;
  const bool has_prices = !(h.flag & FLAG_NO_PRICES) && h.start >= 0 && h.start <= h.end && h.end < MAX_DATE;
  if (ashi == 2) MakeShuashi(h, g_weeks);
  if (ashi == 3) MakeTsukiashi(h, g_months);
  for (int i = from; i <= to; ++i) {
    int32_t c = 0;
    if (i >= 0 && i < MAX_DATE) {
      if (ashi == 1) {
        if (has_prices && i >= h.start && i <= h.end) c = Packed_to_Value(h.close[i]);
      } else if (ashi == 2) {
        if (i >= g_weeks.start && i <= g_weeks.end) c = g_weeks.bar[i].close;
      } else {
        if (i >= g_months.first_month && i <= g_months.last_month) c = g_months.close[i];
      }
    }
    (*closes)[static_cast<size_t>(i - from)] = c;
  }
  return true;
}

std::vector<double> ComparePercents(const std::vector<int32_t>& closes) {
  std::vector<double> out(closes.size(), -1.0);
  int32_t base = 0;
  for (int32_t c : closes)
    if (c > 0) {
      base = c;
      break;
    }
  if (base == 0) return out;
  for (size_t k = 0; k < closes.size(); ++k)
    if (closes[k] > 0) out[k] = static_cast<double>(closes[k]) * 100.0 / base;
  return out;
}

CompareScale MakeCompareScale(double lo, double hi, int bars, int W, int H) {
  CompareScale s;
  s.W = W;
  s.H = H;
  s.top = hi * 107.0 / 100.0;
  s.bottom = lo * 93.0 / 100.0;
  s.lt = LogOf(s.top);
  s.range = s.lt - LogOf(s.bottom);
  if (!(s.range > 0.0)) s.range = 0.01;
  const int count = bars > 0 ? bars : 1;
  s.xstep = static_cast<double>(W - 122) / count;
  if (s.xstep == 0.0) s.xstep = 1.0;
  s.plotH = H - 40 != 0 ? H - 40 : 1;
  return s;
}

int CompareY(const CompareScale& s, double v) {
  return static_cast<int>((s.lt - LogOf(v)) / s.range * s.plotH) + 10;
}

int CompareX(const CompareScale& s, int k) { return static_cast<int>(k * s.xstep) + 40; }

int NextCompareLevel(int l) {
  static const struct {
    int below;
    int step;
  } kSteps[] = {{5, 1},        {20, 5},        {100, 10},       {200, 50},      {1000, 100},
                {2000, 500},   {5000, 1000},   {10000, 2000},   {50000, 10000}, {100000, 50000},
                {500000, 100000}, {1000000, 500000}};
  for (const auto& s : kSteps)
    if (l < s.below) return l + s.step;
  return l + 1000000;
}

std::vector<CompareGridLine> CompareGrid(const CompareScale& s) {
  std::vector<CompareGridLine> out;
  int last_label = -1;  // y of the last label written; none yet
  for (int l = 0;; l = NextCompareLevel(l)) {
    const int b = CompareY(s, l);
    if (b > 10 && b < s.H - 30) {
      const bool label = l == 100 || last_label < 0 || last_label - b > 20;
      if (label) last_label = b;
      out.push_back({l, b, label, l == 100});
    }
    if (l >= s.top || l > 2000000000 - 1000000) break;
  }
  return out;
}

std::vector<CompareDateMark> CompareDateAxis(int ashi, int from, int to, const CompareScale& s) {
  std::vector<CompareDateMark> out;
  if (ashi < 1 || ashi > 3) {
    PRT("AshiFlag Eroor2");
    return out;
  }
  auto inside = [&](int x) { return x >= 40 && x <= s.W - 82; };
  char text[16];
  // The axis starts afresh at every paint: the same bars always give the same axis. The
  // daily and weekly axes start from the first bar's year (and the daily one its month);
  // the monthly axis writes the first year it can place.
  const int first_date = BarRealDate(ashi, from);
  int year_mark = ashi == 3 ? 0 : first_date / 10000;
  int month_mark = ashi == 1 ? first_date / 100 % 100 : 0;
  for (int i = from; i <= to; ++i) {
    const int date = BarRealDate(ashi, i);
    if (date == 0) continue;
    const int year = date / 10000, month = date / 100 % 100, k = i - from;
    if (ashi == 1) {
      if (year > year_mark || month > month_mark) {
        year_mark = year;
        month_mark = month;
        const int x = static_cast<int>(40 + k * s.xstep - 1);
        std::snprintf(text, sizeof text, "%02d/%d", year % 100, month);
        out.push_back({x, inside(x), true, x - 6, text});
      }
    } else if (ashi == 2) {
      if (year > year_mark) {
        year_mark = year;
        const int x = static_cast<int>(40 + k * s.xstep - s.xstep * 0.125);
        std::snprintf(text, sizeof text, "%02d/01", year % 100);
        out.push_back({x, inside(x), x >= 20, x - 14, text});
      } else if (month != month_mark && month != 1 && s.xstep > 6) {
        month_mark = month;
        const int x = static_cast<int>(40 + k * s.xstep - s.xstep * 0.5 + 5);
        std::snprintf(text, sizeof text, "%d", month);
        out.push_back({x, inside(x), x >= 10, month >= 10 ? x - 6 : x - 2, text});
      }
    } else if (year > year_mark) {
      const int x = static_cast<int>(40 + k * s.xstep - s.xstep * 0.125);
      if (inside(x)) {
        year_mark = year;
        std::snprintf(text, sizeof text, "%d", year);
        out.push_back({x, true, true, x - 12, text});
      }
    }
  }
  return out;
}

void BuildComparePlot(const int stocks[COMPARE_SLOTS], int ashi, int from, int to, int W, int H, ComparePlot* out) {
  out->from = from;
  out->to = to;
  double lo = 0, hi = 0;
  bool any = false;
  std::vector<int32_t> closes;
  const int count = LastKabu < 0 ? 0 : std::min(LastKabu, MAX_KABU);
  for (int s = COMPARE_SLOTS - 1; s >= 0; --s) {
    out->stock[s] = -1;
    out->values[s].clear();
    if (stocks[s] < 0) continue;
    if (stocks[s] >= count) {
      PRT("CCmpChartで銘柄コードがエラー\n");
      continue;
    }
    out->stock[s] = stocks[s];
    ReadCompareCloses(stocks[s], ashi, from, to, &closes);
    out->values[s] = ComparePercents(closes);
    for (double v : out->values[s]) {
      if (!CompareHasValue(v)) continue;
      if (!any || v < lo) lo = v;
      if (!any || v > hi) hi = v;
      any = true;
    }
  }
  if (!any) lo = hi = 100.0;
  out->scale = MakeCompareScale(lo, hi, to - from, W, H);
  out->grid = CompareGrid(out->scale);
  out->dates = CompareDateAxis(ashi, from, to, out->scale);
}
