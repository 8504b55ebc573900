#include "db/record_repair.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "db/packed_value.h"
#include "platform/diagnostics.h"

namespace {

constexpr int32_t PRICE_LIMIT = 99999999;  // no price of ours reaches 100 million

uint16_t* Arrays(Hiashi* h, int k) {
  uint16_t* a[7] = {h->open, h->high, h->low, h->close, h->deki, h->margin_sell, h->margin_buy};
  return a[k];
}

int32_t V(uint16_t p) { return Packed_to_Value(p); }

// The day's bar breaks the order low <= open, close <= high.
bool OutOfOrder(const Hiashi& h, int d) {
  const int32_t o = V(h.open[d]), hi = V(h.high[d]), lo = V(h.low[d]), c = V(h.close[d]);
  return hi < lo || hi < o || hi < c || lo > o || lo > c;
}

__attribute__((format(printf, 2, 3))) void Fail(RecordFault* fault, const char* format, ...) {
  if (!fault) return;
  fault->failed = true;
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(fault->text, sizeof fault->text, format, ap);
  va_end(ap);
}

// The record's range cut to the days in use.
void Range(const Hiashi& h, int days, int* from, int* to) {
  *from = h.start < 0 ? 0 : h.start;
  *to = h.end >= days ? days - 1 : h.end;
}

}  // namespace

void ShiftDaysLater(Hiashi* h, int pos) {
  if (pos < 0 || h->end < pos || h->end + 1 >= MAX_DATE) return;
  const size_t n = static_cast<size_t>(h->end - pos + 1);
  for (int k = 0; k < 7; ++k) {
    uint16_t* a = Arrays(h, k);
    std::memmove(a + pos + 1, a + pos, n * sizeof *a);
  }
}

void ClearDay(Hiashi* h, int d) {
  if (d < 0 || d >= MAX_DATE) return;
  for (int k = 0; k < 7; ++k) Arrays(h, k)[d] = 0;
}

bool ClearDaysFrom(Hiashi* h, int days) {
  if (days < 0) days = 0;
  bool any = false;
  for (int k = 0; k < 7 && days < MAX_DATE; ++k) {
    uint16_t* a = Arrays(h, k);
    for (int d = days; d < MAX_DATE; ++d) any |= a[d] != 0;
    std::memset(a + days, 0, static_cast<size_t>(MAX_DATE - days) * sizeof *a);
  }
  return any;
}

void DropOldestDay(Hiashi* h, int days) {
  if (days <= 0 || days > MAX_DATE) return;
  for (int k = 0; k < 7; ++k) {
    uint16_t* a = Arrays(h, k);
    std::memmove(a, a + 1, static_cast<size_t>(days - 1) * sizeof *a);
    a[days - 1] = 0;
  }
  if (h->start > 0) --h->start;
  // A stock whose only day was the dropped one has no data left: an empty range.
  --h->end;
  if (h->end < -1) h->end = -1;
}

void RecalcRange(Hiashi* h, int days, RecordFault* fault, bool report) {
  int first = -1;
  for (int d = 0; d < days; ++d)
    if (h->close[d] != 0) {
      first = d;
      break;
    }
  if (first >= 0 && first != h->start) {
    if (report) {
      if (first > h->start)
        PRT("店頭でデータがない？。最後を探す。i=%d,ph->start=%d,code=%d\n", first, h->start, h->code);
      else
        PRT("新規に日足データを追加 ph->start_date=%d ---> %d, %.32s(%d)\n", h->start, first, h->name, h->code);
    }
    h->flag &= ~FLAG_NO_PRICES;
    h->start = first;
  }
  int last = -1;
  for (int d = days - 1; d > 0; --d)
    if (h->close[d] != 0) {
      last = d;
      break;
    }
  if (last >= 0 && last != h->end) {
    if (report) PRT("最終日が追加。ph->start=%d,ph->end=%d, new_end=%d\n", h->start, h->end, last);
    h->flag &= ~FLAG_NO_PRICES;
    h->end = last;
  }
  if ((first >= 0 || last >= 0) && h->start > h->end) {
    PRT("最後と最初が逆転？\n");
    Fail(fault, "最後と最初が逆転？ code=%d start=%d end=%d", h->code, h->start, h->end);
  }
}

namespace {

// Days without a close take the last close before them; out-of-order bars become flat at
// their close, with the day's volume dropped by a merge of a day and kept by the back-fill
// (its volume comes from the same page row as its prices).
void Repair(Hiashi* h, const int32_t* dates, int days, bool report, bool keep_volume) {
  int from, to;
  Range(*h, days, &from, &to);
  if (from > to) return;
  if (h->close[from] == 0) {
    int next = from + 1;
    while (next <= to && h->close[next] == 0) ++next;
    if (next <= to) {
      if (report) PRT("修正。最初が0円=%4d,%10.32s 日付=%d\n", h->code, h->name, dates[from]);
      h->open[from] = h->high[from] = h->low[from] = h->close[from] = h->close[next];
      h->deki[from] = 0;
    }
  }
  uint16_t last = 0;
  for (int d = from; d <= to; ++d) {
    if (h->close[d] != 0) {
      last = h->close[d];
    } else if (last != 0) {
      h->open[d] = h->high[d] = h->low[d] = h->close[d] = last;
      h->deki[d] = 0;
    }
  }
  for (int d = from; d <= to; ++d) {
    if (!OutOfOrder(*h, d)) continue;
    if (report && keep_volume) {
      PRT("並びが変=%4d,%.32s,%d 補正,", h->code, h->name, dates[d]);
      PRT("(%d,%d,%d,%d, %d)\n", V(h->open[d]), V(h->high[d]), V(h->low[d]), V(h->close[d]), V(h->deki[d]));
    } else if (report) {
      PRT("並びが変=%5d,%12.32s(%d)", h->code, h->name, dates[d]);
      PRT("start=%4d,max=%4d,min=%4d,end=%4d,deki=%d\n", V(h->open[d]), V(h->high[d]), V(h->low[d]), V(h->close[d]),
          V(h->deki[d]));
    }
    h->open[d] = h->high[d] = h->low[d] = h->close[d];
    if (!keep_volume) h->deki[d] = 0;
  }
}

}  // namespace

void RepairRecord(Hiashi* h, const int32_t* dates, int days, bool report) { Repair(h, dates, days, report, false); }

void RepairFetchedRecord(Hiashi* h, const int32_t* dates, int days) { Repair(h, dates, days, true, true); }


void CheckRecord(Hiashi* h, const int32_t* dates, int days) {
  if (h->end >= 0 && h->end < days && h->end != days - 1 && days < MAX_DATE) {
    PRT("倒産=%4d,%10.32s, 最後の日=%d\n", h->code, h->name, dates[h->end]);
    h->flag |= FLAG_DELISTED;
  }
  int from, to;
  Range(*h, days, &from, &to);
  for (int d = from; d <= to; ++d) {
    if (!OutOfOrder(*h, d)) continue;
    PRT("並びが変=%5d,%12.32s,(%d)", h->code, h->name, dates[d]);
    PRT("start=%5d,max=%5d,min=%5d,end=%5d,deki=%d\n", V(h->open[d]), V(h->high[d]), V(h->low[d]), V(h->close[d]),
        V(h->deki[d]));
    if (h->code == 1003 && dates[d] == 20000222) PRT("1003 円相場の2月22日は初値、高値安値が変。終値に統一\n");
  }
}

void CheckLastDay(const Hiashi& h, const int32_t* dates, int days, RecordFault* fault) {
  if (h.start > days - 1) PRT("まだ生まれてない。%d:%.32s\n", h.code, h.name);
  const int d = h.end;
  if (d < 0 || d >= days) return;
  const int32_t o = V(h.open[d]), hi = V(h.high[d]), lo = V(h.low[d]), c = V(h.close[d]);
  if (o >= PRICE_LIMIT) {
    PRT("株価が1億?! %d:%.32s,%d\n", h.code, h.name, dates[d]);
    Fail(fault, "株価が1億?! %d:%d 始値=%d", h.code, dates[d], o);
    return;
  }
  if (d > 0 && V(h.close[d - 1]) >= PRICE_LIMIT) {
    PRT("株価が1億?!\n");
    Fail(fault, "株価が1億?! %d:%d 前日の終値=%d", h.code, dates[d - 1], V(h.close[d - 1]));
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%d", h.code);
  if (2LL * c < o || 2LL * c < hi || 2LL * c < lo)
    PRT("終値安すぎ %s:%-18.32s, %5d,%5d,%5d,%5d,deki=%d\n", text, h.name, o, hi, lo, c, V(h.deki[d]));
  if (c > 2LL * o || c > 2LL * hi || c > 2LL * lo)
    PRT("終値高すぎ %s:%-18.32s, %5d,%5d,%5d,%5d,deki=%d\n", text, h.name, o, hi, lo, c, V(h.deki[d]));
}

int AdjustSplit(Hiashi* h, const int32_t* dates, int days, int32_t date, double factor, RecordFault* fault) {
  int n = -1;
  for (int d = days - 1; d >= 0; --d)
    if (dates[d] == date) {
      n = d;
      break;
    }
  if (n < 0 || n < h->start || n > h->end) {
    PRT("権利落ち日が範囲外%d < %d < %d, date=%d\n", h->start, n, h->end, date);
    Fail(fault, "権利落ち日が範囲外%d < %d < %d, date=%d", h->start, n, h->end, date);
    return 0;
  }
  PRT("code=%d,%10.32s, %d := %f の修正\n", h->code, h->name, date, factor);
  PRT("%d < %d < %d, date=%d\n", h->start, n, h->end, date);
  const int from = h->start < 0 ? 0 : h->start;
  for (int d = from; d < n; ++d) {
    for (uint16_t* a : {h->open, h->high, h->low, h->close}) a[d] = Double_to_Packed(V(a[d]) * factor);
  }
  return 1;
}
