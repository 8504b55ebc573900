#include "db/database_file.h"

#include <bit>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

#include "db/database_lock.h"
#include "db/open_retry.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "db/trading_calendar.h"

// Records and headers are read and written as the raw little-endian bytes of the structs.
static_assert(std::endian::native == std::endian::little);

int DbVersion = 0;
int fSampleDB = 0;
int fBusy = 0;
int fCalendarRefused = 0;

namespace {

char g_failure[512];
char g_calendar_refusal[512];  // why the calendar was refused
int g_slots_in_file = 0;


// Reads exactly size bytes at offset; the number of bytes read (short at the end of file).
size_t ReadAt(int fd, void* buf, size_t size, int64_t offset, int* err) {
  size_t done = 0;
  *err = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, static_cast<char*>(buf) + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

// Opens vurn.hy3 for reading, or try.hy3 when vurn.hy3 does not exist. Returns the
// descriptor and the bare name of the file opened, or -1.
int OpenForReading(int stock_num, int mode, const char** name) {
  int fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    *name = DB_FILE;
    return fd;
  }
  const int err = errno;
  PRT("vurn.hy3の読み込み失敗 stock_num=%d,flag=%d\n", stock_num, mode);
  if (err != ENOENT) {
    // The file is there but cannot be read: the sample would hide the fault.
    ReportDbFailure("vurn.hy3 を読めません: %s", FileErrorText(err));
    return -1;
  }
  fd = ::open(DataFilePath(SAMPLE_DB_FILE).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    PRT("サンプル(try.hy3)の読み込み失敗\n");
    std::snprintf(g_failure, sizeof g_failure, "vurn.hy3 も try.hy3 もありません");
    return -1;
  }
  fSampleDB = 1;
  *name = SAMPLE_DB_FILE;
  return fd;
}

bool IsRealDate(int32_t d) {
  const int y = d / 10000, m = d / 100 % 100, day = d % 100;
  return y >= 1900 && y <= 2999 && m >= 1 && m <= 12 && day >= 1 && day <= 31;
}

int ReadHeader(int fd, const char* name) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ReportDbFailure("%s を読めません: %s", name, FileErrorText(errno));
    return 0;
  }
  DbHeader h{};
  int err = 0;
  if (ReadAt(fd, &h, sizeof h, 0, &err) != sizeof h) {
    ReportDbFailure("%s のヘッダが読めません: %s", name, err ? FileErrorText(err) : "ファイルが短すぎます");
    return 0;
  }
  DbVersion = h.version;
  if (h.version != DB_VERSION) PRT("データベースのバージョンが違います=%d\n", h.version);
  if (DbSlotsOfVersion(h.version) == 0) {
    ReportDbFailure("%s はこのプログラムで読めない形式です（バージョン=%d）。ファイルはそのままです", name, h.version);
    return 0;
  }
  if (h.slot_count != MAX_KABU) PRT("登録される株の最大数が違います=%d\n", h.slot_count);
  if (h.date_capacity != MAX_DATE) {
    PRT("登録される日経平均が存在する日数が違います=%d\n", h.date_capacity);
    std::snprintf(g_failure, sizeof g_failure, "%s の日数の上限が違います（%d）", name, h.date_capacity);
    return 0;
  }
  if (h.last_date < 0 || h.last_date > MAX_DATE) {
    ReportDbFailure("%s の日数(LastDate=%d)が範囲外です", name, h.last_date);
    return 0;
  }
  const int64_t size = st.st_size;
  if (!S_ISREG(st.st_mode) || size < DB_HEADER_SIZE || (size - DB_HEADER_SIZE) % DB_RECORD_SIZE != 0 ||
      size > DB_FILE_SIZE) {
    ReportDbFailure("%s の大きさ(%lld バイト)がデータベースの形と合いません。途中で切れているか、別のファイルです", name,
           static_cast<long long>(size));
    return 0;
  }
  g_slots_in_file = static_cast<int>((size - DB_HEADER_SIZE) / DB_RECORD_SIZE);
  if (g_slots_in_file < DbSlotsOfVersion(h.version))
    PRT("%s のレコードは %d 件です。残りは空の銘柄として扱います\n", name, g_slots_in_file);
  // A refused calendar stays refused for the run: its days are not counted.
  LastDate = fCalendarRefused ? 0 : h.last_date;
  // The header's LastKabu is not used: the number of stocks comes from the master file.
  return 1;
}

// Refuses the calendar for the rest of the run: the days are not counted, so nothing reads
// or writes by the refused dates.
int RefuseCalendar() {
  std::memcpy(g_calendar_refusal, g_failure, sizeof g_calendar_refusal);
  fCalendarRefused = 1;
  LastDate = 0;
  return 0;
}

int ReadCalendar(int fd, const char* name) {
  if (fCalendarRefused) return 0;  // reported once, when it was refused
  static int32_t dates[MAX_DATE];
  int err = 0;
  if (ReadAt(fd, dates, sizeof dates, DB_CALENDAR_OFFSET, &err) != sizeof dates) {
    ReportDbFailure("%s の日付表が読めません: %s", name, err ? FileErrorText(err) : "ファイルが短すぎます");
    return RefuseCalendar();
  }
  for (int i = 0; i < LastDate; ++i) {
    if (!IsRealDate(dates[i]) || (i > 0 && dates[i] <= dates[i - 1])) {
      ReportDbFailure("%s の日付表が壊れています（%d 番目の日付=%d）", name, i, dates[i]);
      return RefuseCalendar();
    }
  }
  std::memcpy(nikkei_date, dates, sizeof dates);
  return 1;
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
  if (start != h->start || end != h->end)
    PRT("stock_num=%d の start=%d,end=%d が日付の範囲外のため直しました\n", stock_num, start, end);
}

int ReadRecord(int fd, const char* name, int stock_num) {
  Hiashi* h = WorkHiashi();
  int err = 0;
  size_t got = ReadAt(fd, h, sizeof *h, DbRecordOffset(stock_num), &err);
  if (got != sizeof *h) {
    SetEmptyHiashi(h);
    ReportDbFailure("%s の stock_num=%d のレコードが読めません（%zu/%lld バイト）%s", name, stock_num, got,
           static_cast<long long>(DB_RECORD_SIZE), err ? FileErrorText(err) : "");
    return 0;
  }
  NormalizeRecord(h, stock_num);
  return 1;
}

// Checks that the file about to be updated is a version-6 database of our layout.
bool CheckUpdatableHeader(std::FILE* f, const char* name) {
  DbHeader h{};
  errno = 0;
  if (std::fread(&h, 1, sizeof h, f) != sizeof h) {
    ReportDbFailure("%s のヘッダが読めないため書き込みません: %s", name, errno ? FileErrorText(errno) : "ファイルが短すぎます");
    return false;
  }
  if (h.version != DB_VERSION || h.date_capacity != MAX_DATE) {
    ReportDbFailure("%s は別の形式（バージョン=%d）のため書き込みません", name, h.version);
    return false;
  }
  return true;
}

bool CloseChecked(std::FILE* f, const char* name, bool sync) {
  bool ok = true;
  int err = 0;
  errno = 0;
  if (std::fflush(f) != 0) {
    ok = false;
    err = errno;
  }
  if (ok && sync && ::fsync(::fileno(f)) != 0) {
    ok = false;
    err = errno;
  }
  errno = 0;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) ReportDbFailure("%s への書き込みに失敗しました: %s", name, FileErrorText(err));
  return ok;
}

bool WriteChecked(std::FILE* f, const void* data, size_t size, const char* name) {
  errno = 0;
  if (std::fwrite(data, 1, size, f) == size) return true;
  ReportDbFailure("%s への書き込みに失敗しました: %s", name, FileErrorText(errno));
  return false;
}

DbHeader CurrentHeader() { return DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, LastDate, LastKabu}; }

int CreateFile() {
  FileReplace r;
  const std::string path = DataFilePath(DB_FILE);
  if (!FileReplaceBegin(&r, path)) {
    ReportDbFailure("%s を作れません: %s", DB_FILE, FileErrorText(r.error));
    return 0;
  }
  const DbHeader h = CurrentHeader();
  FileReplaceWrite(&r, &h, sizeof h);
  FileReplaceWrite(&r, nikkei_date, sizeof nikkei_date);
  FileReplaceWrite(&r, &ScratchHiashi, sizeof ScratchHiashi);
  if (!FileReplaceCommit(&r)) {
    ReportDbFailure("%s を作れません: %s", DB_FILE, FileErrorText(r.error));
    return 0;
  }
  PRT("sizeof(hiashi)=%d, MAX_DATE=%d\n", static_cast<int>(sizeof(Hiashi)), MAX_DATE);
  PRT("vurn.hy3 output to file... completed データベース作成完了！\n");
  return 1;
}

int UpdateInPlace(int stock_num, int mode) {
  const std::string path = DataFilePath(DB_FILE);
  int err = 0;
  std::FILE* f = OpenRetry(path.c_str(), "r+b", &err);
  if (!f) {
    ReportDbFailure("%s を書き込み用に開けません: %s", DB_FILE, FileErrorText(err));
    return 0;
  }
  // Every seek is checked: a write after a failed seek would land on the header.
  if (std::fseek(f, 0, SEEK_SET) != 0) {
    PRT("fseek() Err out index\n");
    ReportDbFailure("%s の位置を移動できません: %s", DB_FILE, FileErrorText(errno));
    std::fclose(f);
    return 0;
  }
  if (!CheckUpdatableHeader(f, DB_FILE)) {
    std::fclose(f);
    return 0;
  }
  bool ok;
  if (mode == 1) {
    const DbHeader h = CurrentHeader();
    ok = std::fseek(f, 0, SEEK_SET) == 0;
    if (!ok) ReportDbFailure("%s の位置を移動できません: %s", DB_FILE, FileErrorText(errno));
    ok = ok && WriteChecked(f, &h, sizeof h, DB_FILE) && WriteChecked(f, nikkei_date, sizeof nikkei_date, DB_FILE);
  } else {
    ok = false;
    if (std::fseek(f, DB_HEADER_SIZE, SEEK_SET) != 0) {
      PRT("fseek() Err out index\n");
      ReportDbFailure("%s の位置を移動できません: %s", DB_FILE, FileErrorText(errno));
    } else if (fseeko(f, static_cast<off_t>(stock_num) * DB_RECORD_SIZE, SEEK_CUR) != 0) {
      PRT("fseek() Err out stock_num=%d\n", stock_num);
      ReportDbFailure("%s の位置を移動できません: %s", DB_FILE, FileErrorText(errno));
    } else {
      ok = WriteChecked(f, WorkHiashi(), sizeof(Hiashi), DB_FILE);
    }
  }
  if (!ok) {
    std::fclose(f);
    return 0;
  }
  // The calendar is the key to every record: make a header rewrite durable.
  return CloseChecked(f, DB_FILE, mode == 1) ? 1 : 0;
}

}  // namespace

int DbSlotsOfVersion(int version) {
  switch (version) {
    case 4: return DB_SLOTS_V4;
    case 5: return DB_SLOTS_V5;
    case 6: return MAX_KABU;
    default: return 0;
  }
}

void SetEmptyHiashi(Hiashi* h) {
  std::memset(h, 0, sizeof *h);
  h->end = LastTradingDay();
  h->start = h->end + 1;
}

const char* DbFailureText() { return g_failure; }

void ReportDbFailure(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(g_failure, sizeof g_failure, format, ap);
  va_end(ap);
  PRT("%s\n", g_failure);
}
int DbSlotsInFile() { return g_slots_in_file; }

int VURN_file_in(int stock_num, int mode) {
  if (mode == 2 && (stock_num < 0 || stock_num >= MAX_KABU)) {
    SetEmptyHiashi(WorkHiashi());
    ReportDbFailure("stock_num=%d は範囲外です", stock_num);
    return 0;
  }
  if (mode < 0 || mode > 2) {
    PRT("VURN_file_in: mode=%d はありません\n", mode);
    return 0;
  }
  const char* name = DB_FILE;
  int fd = OpenForReading(stock_num, mode, &name);
  if (fd < 0) {
    if (mode == 2) SetEmptyHiashi(WorkHiashi());
    return 0;
  }
  int ok = mode == 0 ? ReadHeader(fd, name) : mode == 1 ? ReadCalendar(fd, name) : ReadRecord(fd, name, stock_num);
  ::close(fd);
  return ok;
}

int VURN_file_out(int stock_num, int mode) {
  if (mode < 0 || mode > 2) {
    FatalAt(__FILE__, __LINE__);
    Fatal("Error !\n");
  }
  if (mode == 2 && (stock_num < 0 || stock_num >= MAX_KABU)) {
    ReportDbFailure("stock_num=%d は範囲外のため書き込みません", stock_num);
    return 0;
  }
  if (mode != 0 && fCalendarRefused) {
    // Records and calendar written by an empty calendar would overwrite the refused one.
    ReportDbFailure("%s の日付表が壊れているため書き込みません（%s）", DB_FILE, g_calendar_refusal);
    return 0;
  }
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("%s を更新できません（ロックを取れません）: %s", DB_FILE, FileErrorText(lock.error));
    return 0;
  }
  if (mode == 0) {
    const int made = CreateFile();
    if (made) fCalendarRefused = 0;
    return made;
  }
  return UpdateInPlace(stock_num, mode);
}

int IsUpdateAllowed(bool report) {
  if (fCalendarRefused) {
    if (report) {
      std::string text = "データベースの日付表が壊れているため、データ更新はできません。\n\n";
      text += g_calendar_refusal;
      text += "\n\nデータベースを作り直してください。";
      HostMessageBox(text.c_str(), "警告", MB_OK | MB_ICONERROR);
    }
    return 0;
  }
  if (!fSampleDB) return 1;
  if (report)
    HostMessageBox(
        "データ更新はサンプルのデータベースでは実行できません。\n正規のデータベースを作成する必要があります。\n\n\n"
        "「ファイル(F)」「正規のデータベース作成(M)」を選んで下さい。\n\n\n"
        "詳しくは作成方法はヘルプの「設定の流れ図」を参照して下さい。\n",
        "警告", MB_OK | MB_ICONERROR);
  return 0;
}

int WriteDatabaseImage(const std::string& path, const DbImage& image) {
  FileReplace r;
  if (!FileReplaceBegin(&r, path)) return r.error;
  FileReplaceWrite(&r, &image.header, sizeof image.header);
  static const int32_t zero_dates[MAX_DATE] = {};
  FileReplaceWrite(&r, image.dates ? image.dates : zero_dates, sizeof zero_dates);
  auto record = std::make_unique<Hiashi>();
  Hiashi* rec = record.get();
  const int filled = image.filled < image.records ? image.filled : image.records;
  for (int n = 0; n < filled; ++n) {
    std::memset(rec, 0, sizeof *rec);
    if (image.fill) image.fill(n, rec);
    if (!FileReplaceWrite(&r, rec, sizeof *rec)) break;
  }
  FileReplaceSetSize(&r, DbRecordOffset(image.records));
  if (!FileReplaceCommit(&r)) return r.error;
  return 0;
}
