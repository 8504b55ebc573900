#include "db/calendar_insert.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/day_index.h"
#include "db/record_io.h"
#include "db/record_repair.h"
#include "db/trading_calendar.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/hooks.h"
#include "platform/working_folder.h"

void PlanCalendarInsert(const int32_t* fetched, int count, CalendarPlan* p) {
  const int old_days = std::clamp(LastDate, 0, MAX_DATE);
  p->old_days = old_days;
  std::memcpy(p->old_dates, nikkei_date, sizeof p->old_dates);
  // Room for the old calendar and every fetched date before the trim.
  std::vector<int32_t> all(p->old_dates, p->old_dates + old_days);
  std::vector<int32_t> inserted;
  for (int i = 0; i < count; ++i) {
    const int32_t d = fetched[i];
    if (std::binary_search(all.begin(), all.end(), d)) continue;  // held, or fetched twice
    if (!IsRealDate(d)) {
      PRT("日付ではない値は挿入しない=%d\n", d);
      continue;
    }
    int yday, wday, year;
    if (!CalendarDayFacts(d, &yday, &wday, &year) || wday == 0 || wday == 6) {
      PRT("土日の日付は挿入しない=%d\n", d);
      continue;
    }
    if (old_days > 0 && d < p->old_dates[0]) {
      PRT("nikkei_date[0]=%dより古い日付は挿入しない=%d\n", p->old_dates[0], d);
      continue;
    }
    const auto at = std::upper_bound(all.begin(), all.end(), d);
    PRT("%d を挿入ソート[loop=%4d,i=%4d]\n", d, i, static_cast<int>(at - all.begin()));
    all.insert(at, d);
    inserted.push_back(d);
  }
  p->added = static_cast<int>(inserted.size());
  const int n = static_cast<int>(all.size());
  p->trim = n > MAX_DATE ? n - MAX_DATE : 0;
  if (p->trim) PRT("MAX_DATEを超えるために、%d 日分、株価データを削ります。\n", p->trim);
  p->new_days = n - p->trim;
  std::fill(std::begin(p->new_dates), std::end(p->new_dates), 0);
  std::fill(std::begin(p->is_new), std::end(p->is_new), false);
  std::sort(inserted.begin(), inserted.end());
  for (int j = 0; j < p->new_days; ++j) {
    p->new_dates[j] = all[static_cast<size_t>(j + p->trim)];
    p->is_new[j] = std::binary_search(inserted.begin(), inserted.end(), p->new_dates[j]);
  }
  for (int i = 0; i < MAX_DATE; ++i) p->new_pos[i] = -1;
  for (int i = 0, j = 0; i < old_days; ++i) {
    while (all[static_cast<size_t>(j)] != p->old_dates[i]) ++j;
    p->new_pos[i] = j - p->trim >= 0 ? j - p->trim : -1;
  }
  for (int j = std::max(0, p->new_days - 10); j < p->new_days; ++j)
    PRT("%d%s ", p->new_dates[j], p->is_new[j] ? "*" : "");
  PRT("\nNewDate=%d, LastDate=%d, 追加日数=%d\n", p->new_days, old_days, p->added);
}

void RealignRecord(const CalendarPlan& p, Hiashi* h) {
  auto old = std::make_unique<Hiashi>(*h);
  uint16_t* to[7] = {h->open, h->high, h->low, h->close, h->deki, h->margin_sell, h->margin_buy};
  const uint16_t* from[7] = {old->open, old->high, old->low, old->close, old->deki, old->margin_sell, old->margin_buy};
  for (int k = 0; k < 7; ++k) std::fill(to[k], to[k] + MAX_DATE, 0);
  for (int i = 0; i < p.old_days; ++i) {
    const int j = p.new_pos[i];
    if (j < 0) continue;
    for (int k = 0; k < 7; ++k) to[k][j] = from[k][i];
  }
  const int last_old = p.old_days - 1;
  const int start = std::clamp(old->start, 0, std::max(last_old, 0));
  const int end = std::min(old->end, last_old);
  if (end < 0 || old->start > old->end || p.new_pos[end] < 0) {
    // No data, or all of it trimmed away: the empty record of the new calendar.
    h->end = p.new_days - 1;
    h->start = p.new_days;
    return;
  }
  h->start = p.new_pos[start] < 0 ? 0 : p.new_pos[start];
  h->end = end == last_old ? p.new_days - 1 : p.new_pos[end];
  RepairRecord(h, p.new_dates, p.new_days, false);
}

namespace {

bool IsZero(const Hiashi& h) {
  const char* b = reinterpret_cast<const char*>(&h);
  return b[0] == 0 && std::memcmp(b, b + 1, sizeof h - 1) == 0;
}

}  // namespace

int RewriteForCalendar(const CalendarPlan& p, void (*step)(int stock_num)) {
  const std::string path = DataFilePath(DB_FILE);
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("vurn.hy3 を更新できません（ロックを取れません）: %s", FileErrorText(lock.error));
    return 0;
  }
  if (!VURN_file_in(-1, DB_IN_HEADER) || fSampleDB || DbVersion != DB_VERSION) {
    ReportDbFailure("vurn.hy3 を読めないので日付を追加できません");
    return 0;
  }
  const int slots = DbSlotsInFile();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ReportDbFailure("vurn.hy3 を開けません: %s", FileErrorText(errno));
    return 0;
  }
  FileReplace r;
  if (!FileReplaceBegin(&r, path)) {
    ::close(fd);
    ReportDbFailure("vurn.hy3 の新しいファイルを作れません: %s", FileErrorText(r.error));
    return 0;
  }
  auto fail = [&](const char* what, int err) {
    FileReplaceAbort(&r);
    ::close(fd);
    ReportDbFailure("%s: %s\nデータベースは元のままです。", what, FileErrorText(err));
    if (ScreeningStaleHook) ScreeningStaleHook();
    return 0;
  };
  const DbHeader header{DB_VERSION, MAX_KABU, MAX_DATE, p.new_days, LastKabu};
  FileReplaceWrite(&r, &header, sizeof header);
  FileReplaceWrite(&r, p.new_dates, sizeof p.new_dates);
  auto h = std::make_unique<Hiashi>();
  for (int s = 0; s < slots; ++s) {
    if (s >= LastKabu) {
      // Slots after the stocks in use are copied as they are; holes stay holes.
      const off_t at = static_cast<off_t>(DbRecordOffset(s));
      const off_t data = ::lseek(fd, at, SEEK_DATA);
      if (data < 0 && errno == ENXIO) break;
      if (data >= at + DB_RECORD_SIZE) {
        s = static_cast<int>((data - DB_HEADER_SIZE) / DB_RECORD_SIZE) - 1;
        continue;
      }
    }
    if (step && s < LastKabu) step(s);
    const int err = ReadSlot(fd, s, h.get());
    if (err) return fail("vurn.hy3 のレコードが読めません", err);
    // While the regular database is being built every record but stock 0's is still
    // without prices: those are copied as they are.
    const bool realign = !fDbMake || s == 0;
    if (realign && s < LastKabu && h->code == fundamental[s].code && !IsZero(*h)) {
      RealignRecord(p, h.get());
      if (RecordMergedHook) RecordMergedHook(s, *h);
    } else if (IsZero(*h)) {
      continue;
    }
    if (!FileReplaceWriteAt(&r, h.get(), sizeof *h, DbRecordOffset(s)))
      return fail("vurn.hy3 の新しいファイルに書き込めません", r.error);
  }
  ::close(fd);
  if (!FileReplaceSetSize(&r, DbRecordOffset(slots)) || !FileReplaceCommit(&r)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    ReportDbFailure("vurn.hy3 の新しいファイルを書き終えられません: %s\nデータベースは元のままです。", FileErrorText(err));
    if (ScreeningStaleHook) ScreeningStaleHook();
    return 0;
  }
  std::memcpy(nikkei_date, p.new_dates, sizeof nikkei_date);
  LastDate = p.new_days;
  InvalidateCalendarTables();
  return 1;
}
