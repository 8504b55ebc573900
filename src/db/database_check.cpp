#include "db/database_check.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "db/day_index.h"
#include "db/master_file.h"
#include "db/stock_code.h"
#include "db/update_journal.h"
#include "platform/file_error.h"
#include "platform/file_io.h"

namespace {

// An open file read with pread; closes itself.
struct RawFile {
  int fd = -1;
  int64_t size = 0;
  ~RawFile() {
    if (fd >= 0) ::close(fd);
  }
  bool Open(const std::string& path, DbInspectError* error) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
      error->text = path + " を読めません: " + FileErrorText(errno);
      return false;
    }
    size = st.st_size;
    undo = ReadPendingUndo(UndoFileOf(path), fd);
    return true;
  }
  // Reads size bytes at offset, as they read once a pending undo is put back; bytes beyond
  // the end of file read as zero. false on an error (errno tells which).
  bool Read(void* buf, size_t len, int64_t offset) {
    std::memset(buf, 0, len);
    int err = 0;
    ReadFully(fd, buf, len, offset, &err);
    PutBackInMemory(undo, buf, len, offset);
    errno = err;
    return err == 0;
  }
  PendingUndo undo;
};

// The master file as the program takes it; count -1 (and *problem naming the file and the
// reason) when it refuses it.
struct Master {
  int count = -1;
  int32_t date = 0;
  std::unique_ptr<Fundamental[]> entries;
};

Master ReadMaster(const std::string& tag_path, std::string* problem) {
  Master m;
  TagContents tag;
  if (!ReadTagFile(tag_path, tag_path, &tag, problem)) return m;
  m.count = tag.count;
  m.date = tag.date;
  m.entries = std::move(tag.entries);
  return m;
}

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

class Problems {
 public:
  explicit Problems(DbCheckResult* r) : r_(r) {}
  void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    ++r_->problem_count;
    if (static_cast<int>(r_->problems.size()) >= DB_CHECK_MAX_LINES) return;
    char line[400];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(line, sizeof line, format, ap);
    va_end(ap);
    r_->problems.emplace_back(line);
  }

 private:
  DbCheckResult* r_;
};

std::string CodeLabel(int32_t code) {
  if (code < 0 || code > CODE_MAX) return std::to_string(code);
  return Code_to_String(code).c_str();
}

void CheckRecord(const Hiashi& h, int slot, int32_t want_code, bool in_use, int last_date, Problems* p) {
  const std::string label = "slot " + std::to_string(slot) + " (" + CodeLabel(want_code) + ")";
  if (h.code != want_code) p->Add("%s: コード %d が銘柄ファイルのコード %d と違います", label.c_str(), h.code, want_code);
  if (!Terminated(h.name, sizeof h.name)) p->Add("%s: 銘柄名が終端されていません", label.c_str());
  int closes = 0;
  for (int d = 0; d < last_date; ++d) closes += h.close[d] != 0;
  if (closes > 0 && !in_use) p->Add("%s: 使われていない slot に株価があります", label.c_str());
  if (closes == 0) {
    bool other = false;
    for (int d = 0; d < last_date; ++d) other |= (h.open[d] | h.high[d] | h.low[d] | h.deki[d]) != 0;
    if (other) p->Add("%s: 終値がないのに始値・高値・安値・出来高があります", label.c_str());
    if (h.start < 0 || h.start > last_date || h.end < -1 || h.end > last_date - 1)
      p->Add("%s: start=%d,end=%d が日付の範囲外です", label.c_str(), h.start, h.end);
    return;
  }
  if (h.start < 0 || h.start > h.end || h.end >= last_date) {
    p->Add("%s: start=%d,end=%d が日付の範囲 0..%d にありません", label.c_str(), h.start, h.end, last_date - 1);
    return;
  }
  int outside = -1, zero_close = -1;
  for (int d = 0; d < last_date; ++d) {
    const bool inside = d >= h.start && d <= h.end;
    if (!inside && outside < 0 && (h.open[d] | h.high[d] | h.low[d] | h.close[d] | h.deki[d]) != 0) outside = d;
    if (inside && zero_close < 0 && h.close[d] == 0) zero_close = d;
  }
  if (outside >= 0) p->Add("%s: start..end(%d..%d) の外の日 %d に株価があります", label.c_str(), h.start, h.end, outside);
  if (zero_close >= 0) p->Add("%s: start..end(%d..%d) の中の日 %d の終値が 0 です", label.c_str(), h.start, h.end, zero_close);
}

}  // namespace

bool RecordIsSound(const Hiashi& h, int days, std::string* why) {
  DbCheckResult result;
  Problems p(&result);
  CheckRecord(h, 0, h.code, true, days, &p);
  if (result.problem_count == 0) return true;
  if (why) *why = result.problems.empty() ? "" : result.problems.front();
  return false;
}

bool ReadDbRecordRaw(const std::string& db_path, int slot, Hiashi* record, DbInspectError* error) {
  RawFile f;
  if (!f.Open(db_path, error)) return false;
  if (slot < 0 || slot >= MAX_KABU || !f.Read(record, sizeof *record, DbRecordOffset(slot))) {
    error->text = db_path + " のレコードを読めません: " + (slot < 0 || slot >= MAX_KABU ? "slot が範囲外です" : FileErrorText(errno));
    return false;
  }
  return true;
}

bool ReadMasterRaw(const std::string& tag_path, int* count, int32_t* date, Fundamental* entries,
                   DbInspectError* error) {
  Master m = ReadMaster(tag_path, &error->text);
  if (m.count < 0) return false;
  *count = m.count;
  *date = m.date;
  std::memcpy(entries, m.entries.get(), sizeof(Fundamental) * MAX_KABU);
  return true;
}

bool ReadDbFileInfo(const std::string& db_path, const std::string& tag_path, DbFileInfo* info,
                    DbInspectError* error) {
  RawFile f;
  if (!f.Open(db_path, error)) return false;
  info->size = f.size;
  if (f.size < DB_HEADER_SIZE) {
    error->text = db_path + " はデータベースのヘッダより短いファイルです";
    return false;
  }
  static int32_t dates[MAX_DATE];
  if (!f.Read(&info->header, sizeof info->header, 0) || !f.Read(dates, sizeof dates, DB_CALENDAR_OFFSET)) {
    error->text = db_path + " を読めません: " + FileErrorText(errno);
    return false;
  }
  if (DbSlotsOfVersion(info->header.version) == 0 || info->header.date_capacity != MAX_DATE) {
    char line[300];
    std::snprintf(line, sizeof line, "%s はこの形式のデータベースではありません（バージョン=%d, 日数の上限=%d）",
                  db_path.c_str(), info->header.version, info->header.date_capacity);
    error->text = line;
    return false;
  }
  const int n = info->header.last_date;
  if (n > 0 && n <= MAX_DATE) {
    info->first_date = dates[0];
    info->last_date = dates[n - 1];
  }
  info->records_in_file = static_cast<int>((f.size - DB_HEADER_SIZE) / DB_RECORD_SIZE);
  Master m = ReadMaster(tag_path, &info->master_problem);
  info->master_count = m.count;
  info->master_date = m.date;
  auto h = std::make_unique<Hiashi>();
  const int last = n < 0 ? 0 : n > MAX_DATE ? MAX_DATE : n;
  for (int s = 0; s < info->records_in_file && s < MAX_KABU; ++s) {
    if (!f.Read(h.get(), sizeof *h, DbRecordOffset(s))) break;
    for (int d = 0; d < last; ++d)
      if (h->close[d]) {
        ++info->stocks_with_prices;
        break;
      }
  }
  return true;
}

bool CheckDbFiles(const std::string& db_path, const std::string& tag_path, DbCheckResult* result,
                  DbInspectError* error) {
  RawFile f;
  if (!f.Open(db_path, error)) return false;
  Problems p(result);
  const std::string undo_name = UndoFileOf(db_path);
  if (f.undo.state == PendingUndo::kPending)
    result->note = undo_name + ": 途中で終わった更新があります。次に更新するときに元に戻るため、戻した後の内容を検査しました";
  else if (f.undo.state == PendingUndo::kForeign)
    result->note = undo_name + " はこのデータベースのものではありません。次に更新するときに消えます";
  else if (f.undo.state == PendingUndo::kBroken)
    p.Add("%s を読めません（%s）。元に戻せないため、更新できません", undo_name.c_str(), FileErrorText(f.undo.error));
  if (f.size != DB_FILE_SIZE)
    p.Add("ファイルの大きさが %lld バイトです（%lld バイトのはず）", static_cast<long long>(f.size),
          static_cast<long long>(DB_FILE_SIZE));
  if (f.size < DB_HEADER_SIZE) {
    error->text = db_path + " はデータベースのヘッダより短いファイルです";
    return false;
  }
  DbHeader h{};
  static int32_t dates[MAX_DATE];
  if (!f.Read(&h, sizeof h, 0) || !f.Read(dates, sizeof dates, DB_CALENDAR_OFFSET)) {
    error->text = db_path + " を読めません: " + FileErrorText(errno);
    return false;
  }
  // A master file the program refuses is refused here too, as by every command of the tool.
  Master m = ReadMaster(tag_path, &error->text);
  if (m.count < 0) return false;
  if (h.version != DB_VERSION) p.Add("バージョンが %d です（%d のはず）", h.version, DB_VERSION);
  if (h.slot_count != MAX_KABU) p.Add("レコード数が %d です（%d のはず）", h.slot_count, MAX_KABU);
  if (h.date_capacity != MAX_DATE) p.Add("日数の上限が %d です（%d のはず）", h.date_capacity, MAX_DATE);
  if (h.last_kabu < 0 || h.last_kabu > MAX_KABU) p.Add("ヘッダの LastKabu=%d が範囲外です", h.last_kabu);
  if (h.last_date < 0 || h.last_date > MAX_DATE) {
    p.Add("LastDate=%d が範囲外です", h.last_date);
    return true;  // the records cannot be judged without a calendar
  }
  for (int i = 0; i < h.last_date; ++i) {
    if (!IsRealDate(dates[i])) p.Add("日付表の %d 番目 %d は日付ではありません", i, dates[i]);
    else if (i > 0 && dates[i] <= dates[i - 1]) p.Add("日付表の %d 番目 %d が前の日 %d より後ではありません", i, dates[i], dates[i - 1]);
  }

  for (int i = 0; i < m.count; ++i) {
    const Fundamental& e = m.entries[i];
    if (!Terminated(e.name, sizeof e.name) || !Terminated(e.industry, sizeof e.industry) ||
        !Terminated(e.company, sizeof e.company))
      p.Add("銘柄ファイルの %d 番目の名前が終端されていません", i);
  }

  auto rec = std::make_unique<Hiashi>();
  for (int s = 0; s < MAX_KABU; ++s) {
    if (!f.Read(rec.get(), sizeof *rec, DbRecordOffset(s))) {
      p.Add("slot %d を読めません", s);
      break;
    }
    const int32_t want = m.entries[s].code;  // 0 for the entries not in use
    CheckRecord(*rec, s, want, s < m.count, h.last_date, &p);
    ++result->records_checked;
  }
  return true;
}
