#include "db/week_month_bars.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "db/packed_value.h"
#include "platform/diagnostics.h"

Shuashi shuashi;
Tsukiashi tsukiashi;
int ShuashiStock = -1;
int TsukiashiStock = -1;

namespace {

// Every packed value decoded once (as Packed_to_Value does): the builders decode every
// day of every stock, and a table lookup is cheaper than the multiplication.
struct DecodeTable {
  int32_t value[65536];
  constexpr DecodeTable() : value() {
    constexpr int64_t kPow10[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    for (int p = 0; p < 65536; ++p) {
      int64_t v = static_cast<int64_t>(p >> 3) * kPow10[p & 7];
      value[p] = v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
    }
  }
};
constexpr DecodeTable kDecode;

inline int32_t Decode(uint16_t packed) { return kDecode.value[packed]; }

// The record's days that lie inside the calendar and carry prices; false when there are
// none (a new stock, a zeroed slot, start and end beyond the calendar).
bool DayRange(const Hiashi& h, int* first, int* last) {
  const int n = std::clamp(LastDate, 0, MAX_DATE);
  int s = std::max(h.start, 0), e = std::min(h.end, n - 1);
  if (s > e) return false;
  for (int d = s; d <= e; ++d)
    if (h.close[d] != 0) {
      *first = s;
      *last = e;
      return true;
    }
  return false;
}

// Zeroes what the previous build of out wrote outside keep_s .. keep_e, the range the new
// build writes whole, so that every entry outside it is zero without clearing the table.
template <typename ClearFn>
void ClearOutside(int old_s, int old_e, int keep_s, int keep_e, int size, ClearFn clear) {
  old_s = std::max(old_s, 0);
  old_e = std::min(old_e, size - 1);
  if (old_s > old_e) return;
  if (keep_s > keep_e) {
    clear(old_s, old_e);
    return;
  }
  if (old_s < keep_s) clear(old_s, std::min(old_e, keep_s - 1));
  if (old_e > keep_e) clear(std::max(old_s, keep_e + 1), old_e);
}

void ClearWeeks(Shuashi& out, int keep_s, int keep_e) {
  ClearOutside(out.start, out.end, keep_s, keep_e, WEEK_MAX, [&out](int s, int e) {
    std::memset(&out.bar[s], 0, sizeof(ShuashiBar) * static_cast<size_t>(e - s + 1));
  });
}

void ClearMonths(Tsukiashi& out, int keep_s, int keep_e) {
  ClearOutside(out.first_month, out.last_month, keep_s, keep_e, MONTH_MAX, [&out](int s, int e) {
    size_t n = static_cast<size_t>(e - s + 1);
    for (int32_t* a : {out.open, out.high, out.low, out.close, out.deki, out.margin_sell, out.margin_buy})
      std::memset(a + s, 0, sizeof(int32_t) * n);
    std::fill(out.deki_sum + s, out.deki_sum + s + n, 0.0);
  });
}

void CopyName(char (&dst)[32], const char (&src)[32]) {
  std::memcpy(dst, src, sizeof dst);
  dst[sizeof dst - 1] = '\0';
}

}  // namespace

int MakeShuashi(const Hiashi& h, Shuashi& out) {
  EnsureWeekTable();
  CopyName(out.name, h.name);
  out.code = h.code;
  int first, last;
  if (!DayRange(h, &first, &last)) {
    ClearWeeks(out, 1, 0);
    out.start = LastWeek + 1;
    out.end = LastWeek;
    return out.end;
  }
  // Every week from the first to the last is written whole below.
  ClearWeeks(out, DayWeek[first], DayWeek[last]);
  int w = DayWeek[first];
  ShuashiBar* b = &out.bar[w];
  int32_t hi = -2147483647, lo = 2147483647;
  // Integer totals: exact, and equal to the floating sums (far below 2^53).
  int64_t vol = 0;
  int days = 0;
  auto finish = [&](int last_day) {
    b->high = hi;
    b->low = lo;
    b->close = Decode(h.close[last_day]);
    b->deki = Double_to_Int(static_cast<double>(vol));
    b->margin_sell = Decode(h.margin_sell[last_day]);
    b->margin_buy = Decode(h.margin_buy[last_day]);
    b->days = static_cast<uint8_t>(days);
  };
  b->date = nikkei_date[first];
  b->open = Decode(h.open[first]);
  for (int d = first; d <= last; ++d) {
    if (DayWeek[d] != w) {
      finish(d - 1);
      w = DayWeek[d];
      b = &out.bar[w];
      b->date = nikkei_date[d];
      b->open = Decode(h.open[d]);
      hi = -2147483647, lo = 2147483647, vol = 0, days = 0;
    }
    hi = std::max(hi, Decode(h.high[d]));
    lo = std::min(lo, Decode(h.low[d]));
    vol += Decode(h.deki[d]);
    ++days;
  }
  finish(last);
  out.start = DayWeek[first];
  out.end = w;
  return out.end;
}

void MakeTsukiashi(const Hiashi& h, Tsukiashi& out) {
  EnsureMonthTable();
  int first, last;
  if (!DayRange(h, &first, &last)) {
    ClearMonths(out, 1, 0);
    out.first_month = static_cast<int16_t>(MonthNum);
    out.last_month = static_cast<int16_t>(MonthNum - 1);
    return;
  }
  ClearMonths(out, DayMonth[first], DayMonth[last]);
  int m = DayMonth[first];
  int32_t hi = -2147483647, lo = 2147483647;
  int64_t vol = 0, sell = 0, buy = 0;
  int days = 0;
  auto finish = [&](int last_day) {
    out.high[m] = hi;
    out.low[m] = lo;
    out.close[m] = Decode(h.close[last_day]);
    out.deki[m] = Double_to_Int(static_cast<double>(vol));
    out.deki_sum[m] = static_cast<double>(vol);
    out.margin_sell[m] = Double_to_Int(static_cast<double>(sell) / days);
    out.margin_buy[m] = Double_to_Int(static_cast<double>(buy) / days);
  };
  out.open[m] = Decode(h.open[first]);
  for (int d = first; d <= last; ++d) {
    if (DayMonth[d] != m) {
      finish(d - 1);
      m = DayMonth[d];
      out.open[m] = Decode(h.open[d]);
      hi = -2147483647, lo = 2147483647, vol = sell = buy = 0, days = 0;
    }
    hi = std::max(hi, Decode(h.high[d]));
    lo = std::min(lo, Decode(h.low[d]));
    vol += Decode(h.deki[d]);
    sell += Decode(h.margin_sell[d]);
    buy += Decode(h.margin_buy[d]);
    ++days;
  }
  finish(last);
  out.first_month = static_cast<int16_t>(DayMonth[first]);
  out.last_month = static_cast<int16_t>(m);
}

namespace {

// The record of stock s: the work record when it holds that stock, else read into it.
const Hiashi* RecordOf(int s) {
  const Hiashi* h = WorkHiashi();
  if (h->code != fundamental[s].code) h = LoadHiashi(s);
  return h;
}

bool ValidStock(int s, const char* what) {
  if (s >= 0 && s < MAX_KABU) return true;
  PRT("%s: 銘柄番号 %d は範囲外です\n", what, s);
  return false;
}

}  // namespace

namespace {
// The table builds the cached series were made on.
int g_shuashi_builds = -1, g_tsukiashi_builds = -1;
}  // namespace

int BuildShuashi(int stock_num) {
  EnsureWeekTable();
  if (stock_num == ShuashiStock && g_shuashi_builds == WeekTableBuilds()) return shuashi.end;
  g_shuashi_builds = WeekTableBuilds();
  if (!ValidStock(stock_num, "BuildShuashi")) {
    ShuashiStock = -1;
    ClearWeeks(shuashi, 1, 0);
    shuashi.start = LastWeek + 1;
    shuashi.end = LastWeek;
    return shuashi.end;
  }
  ShuashiStock = stock_num;
  return MakeShuashi(*RecordOf(stock_num), shuashi);
}

void BuildTsukiashi(int stock_num) {
  EnsureMonthTable();
  if (stock_num == TsukiashiStock && g_tsukiashi_builds == MonthTableBuilds()) return;
  g_tsukiashi_builds = MonthTableBuilds();
  if (!ValidStock(stock_num, "BuildTsukiashi")) {
    TsukiashiStock = -1;
    ClearMonths(tsukiashi, 1, 0);
    tsukiashi.first_month = static_cast<int16_t>(MonthNum);
    tsukiashi.last_month = static_cast<int16_t>(MonthNum - 1);
    return;
  }
  TsukiashiStock = stock_num;
  MakeTsukiashi(*RecordOf(stock_num), tsukiashi);
}

void ResetAshiCache() {
  ShuashiStock = -1;
  TsukiashiStock = -1;
  InvalidateCalendarTables();
}
