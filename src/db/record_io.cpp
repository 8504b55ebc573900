#include "db/record_io.h"

#include <bitset>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "db/database_file.h"
#include "db/record_repair.h"
#include "db/stock_code.h"
#include "db/trading_calendar.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"

namespace {

std::bitset<MAX_KABU> g_reported;

// The stock-table entry that owns slot n, or nullptr beyond the entries in use.
const Fundamental* OwnerOf(int n) { return n >= 0 && n < LastKabu ? &fundamental[n] : nullptr; }

// The empty record of stock n: what the chart shows for a stock without usable data.
void SetEmptyRecordOf(int n, Hiashi* h) {
  SetEmptyHiashi(h);
  if (const Fundamental* f = OwnerOf(n)) {
    h->code = f->code;
    h->flag = f->flag;
    std::memcpy(h->name, f->name, sizeof h->name);
    h->name[sizeof h->name - 1] = '\0';
  }
}

// Keeps a record's values where readers can index with them.
void NormalizeRecord(Hiashi* h, int stock_num) {
  h->name[sizeof h->name - 1] = '\0';
  const int start = h->start, end = h->end;
  if (h->start < 0) h->start = 0;
  const int last = LastTradingDay();
  if (h->start > last + 1) h->start = last + 1;
  if (h->end > last) h->end = last;
  if (h->end < -1) h->end = -1;
  ClearDaysFrom(h, last + 1);  // beyond the calendar lie only leftovers of an unfinished update
  if (start != h->start || end != h->end)
    PRT("stock_num=%d の start=%d,end=%d が日付の範囲外のため直しました\n", stock_num, start, end);
}

// A record belongs to its slot when its code is the stock table's (or, beyond the entries
// in use, when it is a code at all): another stock's prices are never shown under a code.
bool BelongsToSlot(const Hiashi& h, int n) {
  if (const Fundamental* f = OwnerOf(n)) return h.code == f->code;
  return h.code >= 0 && h.code <= CODE_MAX;
}

}  // namespace

void TrimRangeToCloses(Hiashi* h) {
  auto clear = [h](int d) {
    for (uint16_t* a : {h->open, h->high, h->low, h->close, h->deki, h->margin_sell, h->margin_buy}) a[d] = 0;
  };
  if (h->start < 0 || h->end >= MAX_DATE) return;  // not a range of this calendar: left to the reader's checks
  while (h->start <= h->end && h->close[h->start] == 0) clear(h->start++);
  while (h->end >= h->start && h->close[h->end] == 0) clear(h->end--);
  if (h->start > h->end) h->start = h->end + 1;
}

int ReadSlot(int fd, int stock_num, Hiashi* buf) {
  int err = 0;
  const size_t got = ReadFully(fd, buf, sizeof *buf, DbRecordOffset(stock_num), &err);
  std::memset(reinterpret_cast<char*>(buf) + got, 0, sizeof *buf - got);
  return err;
}

RecordRead ReadRecordChecked(int stock_num, Hiashi* buf) {
  if (stock_num < 0 || stock_num >= MAX_KABU) {
    SetEmptyHiashi(buf);
    ReportDbFailure("stock_num=%d は範囲外です", stock_num);
    return RecordRead::kFailed;
  }
  const char* name = DB_FILE;
  const int fd = OpenDatabaseForReading(stock_num, 2, &name);
  if (fd < 0) {
    SetEmptyRecordOf(stock_num, buf);
    return RecordRead::kFailed;
  }
  int err = 0;
  const size_t got = ReadFully(fd, buf, sizeof *buf, DbRecordOffset(stock_num), &err);
  ::close(fd);
  if (got != sizeof *buf) {
    SetEmptyRecordOf(stock_num, buf);
    ReportDbFailure("%s の stock_num=%d のレコードが読めません（%zu/%lld バイト）%s", name, stock_num, got,
                    static_cast<long long>(DB_RECORD_SIZE), err ? FileErrorText(err) : "");
    return RecordRead::kFailed;
  }
  if (!BelongsToSlot(*buf, stock_num)) {
    const int32_t code = buf->code;
    SetEmptyRecordOf(stock_num, buf);
    // Reported once: the chart reads the shown stock again and again.
    const bool report = !g_reported[static_cast<size_t>(stock_num)];
    g_reported[static_cast<size_t>(stock_num)] = true;
    SetDbFailure(report, "%s の stock_num=%d のレコードは別の銘柄(code=%d)のものです。データなしとして扱います", name,
                 stock_num, code);
    return RecordRead::kNotOurs;
  }
  NormalizeRecord(buf, stock_num);
  return RecordRead::kOurs;
}

int ReadRecord(int stock_num, Hiashi* buf) { return ReadRecordChecked(stock_num, buf) == RecordRead::kOurs ? 1 : 0; }

int WriteRecord(int stock_num, const Hiashi* buf) {
  if (stock_num < 0 || stock_num >= MAX_KABU) {
    ReportDbFailure("stock_num=%d は範囲外のため書き込みません", stock_num);
    return 0;
  }
  return UpdateDatabaseAt(DbRecordOffset(stock_num), buf, sizeof *buf, false);
}

void ResetRecordReports() { g_reported.reset(); }
