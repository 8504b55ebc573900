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
#include "db/update_journal.h"
#include "db/day_index.h"
#include "db/master_file.h"
#include "db/open_retry.h"
#include "db/record_io.h"
#include "db/trading_calendar.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

// Records and headers are read and written as the raw little-endian bytes of the structs.
static_assert(std::endian::native == std::endian::little);

int DbVersion = 0;
int fSampleDB = 0;
int fBusy = 0;
int fDbMake = 0;
int fCalendarRefused = 0;

namespace {

char g_failure[512];
char g_calendar_refusal[512];  // why the calendar was refused
int g_slots_in_file = 0;

int ReadHeader(int fd, const char* name) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ReportDbFailure("%s を読めません: %s", name, FileErrorText(errno));
    return 0;
  }
  DbHeader h{};
  int err = 0;
  if (ReadFully(fd, &h, sizeof h, 0, &err) != sizeof h) {
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
  if (ReadFully(fd, dates, sizeof dates, DB_CALENDAR_OFFSET, &err) != sizeof dates) {
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
  // Every slot exists from the start (the others read as zero bytes), so that writing a
  // record never has to grow the file.
  FileReplaceSetSize(&r, DB_FILE_SIZE);
  if (!FileReplaceCommit(&r)) {
    ReportDbFailure("%s を作れません: %s", DB_FILE, FileErrorText(r.error));
    return 0;
  }
  PRT("sizeof(hiashi)=%d, MAX_DATE=%d\n", static_cast<int>(sizeof(Hiashi)), MAX_DATE);
  PRT("vurn.hy3 output to file... completed データベース作成完了！\n");
  return 1;
}

// Checks, on the open file, that it is a version-6 database of our layout that holds the
// place of the bytes to be written.
bool CheckUpdatable(int fd, int64_t end) {
  struct stat st {};
  errno = 0;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A write after a failed seek would land on the header.
    PRT("fseek() Err out index\n");
    ReportDbFailure("%s の位置を移動できません: %s", DB_FILE, FileErrorText(errno ? errno : ESPIPE));
    return false;
  }
  DbHeader h{};
  int err = 0;
  if (ReadFully(fd, &h, sizeof h, 0, &err) != sizeof h) {
    ReportDbFailure("%s のヘッダが読めないため書き込みません: %s", DB_FILE, err ? FileErrorText(err) : "ファイルが短すぎます");
    return false;
  }
  if (h.version != DB_VERSION || h.date_capacity != MAX_DATE) {
    ReportDbFailure("%s は別の形式（バージョン=%d）のため書き込みません", DB_FILE, h.version);
    return false;
  }
  if (st.st_size < end) {
    // Only the start-up upgrade, with the user's consent, completes a short file.
    ReportDbFailure("%s が途中で切れている（%lld バイト）ため、その先には書き込みません", DB_FILE,
                    static_cast<long long>(st.st_size));
    return false;
  }
  return true;
}

}  // namespace

int OpenDatabaseForReading(int stock_num, int mode, const char** name) {
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

int UpdateDatabaseAt(int64_t offset, const void* data, size_t size, bool durable) {
  if (fCalendarRefused) {
    // Records and a calendar written by an empty calendar would overwrite the refused one.
    ReportDbFailure("%s の日付表が壊れているため書き込みません（%s）", DB_FILE, g_calendar_refusal);
    return 0;
  }
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("%s を更新できません（ロックを取れません）: %s", DB_FILE, FileErrorText(lock.error));
    return 0;
  }
  const std::string path = DataFilePath(DB_FILE);
  int err = 0;
  const int fd = OpenRetryFd(path.c_str(), O_RDWR, &err);
  if (fd < 0) {
    ReportDbFailure("%s を書き込み用に開けません: %s", DB_FILE, FileErrorText(err));
    return 0;
  }
  bool ok = CheckUpdatable(fd, offset + static_cast<int64_t>(size));
  if (ok) {
    err = WriteFully(fd, data, size, offset);
    if (!err && durable && ::fsync(fd) != 0) err = errno;
    ok = err == 0;
    if (!ok) ReportDbFailure("%s への書き込みに失敗しました: %s", DB_FILE, FileErrorText(err));
  }
  if (::close(fd) != 0 && ok) {
    ReportDbFailure("%s への書き込みに失敗しました: %s", DB_FILE, FileErrorText(errno));
    ok = false;
  }
  return ok ? 1 : 0;
}

int DbSlotsOfVersion(int version) {
  switch (version) {
    case 4: return DB_SLOTS_V4;
    case 5: return DB_SLOTS_V5;
    case 6: return MAX_KABU;
    default: return 0;
  }
}

void ForgetLoadedDatabase() {
  std::memset(fundamental, 0, sizeof fundamental);
  std::memset(nikkei_date, 0, sizeof nikkei_date);
  LastKabu = 0;
  LastDate = 0;
  DbVersion = 0;
  fSampleDB = 0;
  fDbMake = 0;
  fCalendarRefused = 0;
  TagDate = 0;
  std::memset(WorkHiashi(), 0, sizeof(Hiashi));
  ResetRecordReports();
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

void SetDbFailure(bool prt, const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(g_failure, sizeof g_failure, format, ap);
  va_end(ap);
  if (prt) PRT("%s\n", g_failure);
}
int DbSlotsInFile() { return g_slots_in_file; }

int VURN_file_in(int stock_num, int mode) {
  if (mode == 2) return ReadRecordChecked(stock_num, WorkHiashi()) == RecordRead::kFailed ? 0 : 1;
  if (mode < 0 || mode > 2) {
    PRT("VURN_file_in: mode=%d はありません\n", mode);
    return 0;
  }
  // A killed update is put back before its header is read, when no one else is writing.
  if (mode == 0 && !DatabaseLocked() && UnfinishedUpdateExists() && TryLockDatabase() == 0) UnlockDatabase();
  const char* name = DB_FILE;
  int fd = OpenDatabaseForReading(stock_num, mode, &name);
  if (fd < 0) return 0;
  int ok = mode == 0 ? ReadHeader(fd, name) : ReadCalendar(fd, name);
  ::close(fd);
  return ok;
}

int VURN_file_out(int stock_num, int mode) {
  if (mode < 0 || mode > 2) {
    FatalAt(__FILE__, __LINE__);
    Fatal("Error !\n");
  }
  if (mode == 2) return WriteRecord(stock_num, WorkHiashi());
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("%s を更新できません（ロックを取れません）: %s", DB_FILE, FileErrorText(lock.error));
    return 0;
  }
  if (mode == 0) {
    const int made = CreateFile();
    if (made) fCalendarRefused = 0;  // a new database brings its own calendar
    return made;
  }
  // The header and the calendar in one write; the calendar is the key to every record, so
  // the rewrite is made durable.
  static unsigned char head[DB_HEADER_SIZE];
  const DbHeader h = CurrentHeader();
  std::memcpy(head, &h, sizeof h);
  std::memcpy(head + DB_CALENDAR_OFFSET, nikkei_date, sizeof nikkei_date);
  return UpdateDatabaseAt(0, head, sizeof head, true);
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
