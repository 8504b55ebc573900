#include "db/database_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class DatabaseFile : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }

  std::string Db() const { return dir.File(DB_FILE); }
  void PatchInt(int64_t offset, int32_t value) {
    int fd = ::open(Db().c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, &value, 4, offset), 4);
    ::close(fd);
  }
  std::string Head(size_t n) { return ReadFileRange(Db(), 0, n); }

  TempDir dir;
  ScriptedHost host;
};

bool IsEmptyRecord(const Hiashi& h) {
  for (int d = 0; d < MAX_DATE; ++d)
    if (h.close[d] || h.open[d] || h.deki[d]) return false;
  return h.code == 0 && h.start == LastDate && h.end == LastDate - 1;
}

TEST_F(DatabaseFile, ReadsHeaderCalendarAndRecords) {
  WriteFixtureDatabase(3, 10);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(DbVersion, 6);
  EXPECT_EQ(LastDate, 10);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  EXPECT_EQ(nikkei_date[9], 20261209);
  EXPECT_EQ(nikkei_date[0], 20261126);
  ASSERT_EQ(VURN_file_in(1, 2), 1);
  const Hiashi* h = WorkHiashi();
  EXPECT_EQ(h->code, 7001);
  EXPECT_EQ(Packed_to_Value(h->close[4]), 1014);
  EXPECT_EQ(h->start, 0);
  EXPECT_EQ(h->end, 9);
  EXPECT_EQ(LoadHiashi(2)->code, 7002);
  EXPECT_EQ(fSampleDB, 0);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(DatabaseFile, SampleStandsInWhileVurnHy3IsMissing) {
  FixtureDatabase layout;
  layout.file = SAMPLE_DB_FILE;
  WriteFixtureDatabase(layout);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(fSampleDB, 1);
  EXPECT_TRUE(PrtHas("vurn.hy3の読み込み失敗 stock_num=-1,flag=0"));
  // Every later read tries vurn.hy3 again and says so again.
  ClearPrtHistory();
  ASSERT_EQ(VURN_file_in(2, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 7002);
  EXPECT_TRUE(PrtHas("vurn.hy3の読み込み失敗 stock_num=2,flag=2"));

  EXPECT_EQ(IsUpdateAllowed(false), 0);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(IsUpdateAllowed(true), 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "警告");
  EXPECT_EQ(host.boxes[0].type & MB_ICON_MASK, unsigned{MB_ICONERROR});
  EXPECT_EQ(host.boxes[0].text.rfind("データ更新はサンプルのデータベースでは実行できません。\n正規の", 0), 0u);

  // With neither file every read fails, and a record read leaves an empty record.
  ::unlink(dir.File(SAMPLE_DB_FILE).c_str());
  LoadHiashi(2);
  EXPECT_EQ(VURN_file_in(2, 2), 0);
  EXPECT_TRUE(IsEmptyRecord(*WorkHiashi()));
  EXPECT_EQ(VURN_file_in(-1, 0), 0);
  EXPECT_TRUE(PrtHas("サンプル(try.hy3)の読み込み失敗"));
}

TEST_F(DatabaseFile, UpdatesAreAllowedOnTheRealDatabase) {
  WriteFixtureDatabase(3, 10);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_NE(IsUpdateAllowed(true), 0);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(DatabaseFile, UnusableVurnHy3IsNotReplacedByTheSample) {
  FixtureDatabase layout;
  layout.file = SAMPLE_DB_FILE;
  WriteFixtureDatabase(layout);
  ASSERT_EQ(::mkdir(Db().c_str(), 0755), 0);  // there, but not a database
  EXPECT_EQ(VURN_file_in(-1, 0), 0);
  EXPECT_EQ(fSampleDB, 0);
  EXPECT_NE(std::string(DbFailureText()).find("vurn.hy3"), std::string::npos);
}

// Headers and sizes that are refused; LastDate keeps its value and the file its bytes.
TEST_F(DatabaseFile, HeaderChecks) {
  struct Case {
    const char* what;
    int version, slot_count;
    int64_t patch_at;
    int32_t patch;
    int64_t cut;  // bytes taken off the end
    int expect;
    const char* line;
  };
  const Case cases[] = {
      {"version 5", 5, 6144, -1, 0, 0, 1, "登録される株の最大数が違います=6144"},
      {"version 4", 4, 4096, -1, 0, 0, 1, "データベースのバージョンが違います=4"},
      {"newer version", 7, 8192, -1, 0, 0, 0, "バージョン=7"},
      {"garbage", 0x41414141, 8192, -1, 0, 0, 0, "データベースのバージョンが違います=1094795585"},
      {"calendar capacity", 6, 8192, 8, 2815, 0, 0, "登録される日経平均が存在する日数が違います=2815"},
      {"LastDate too big", 6, 8192, 12, 2817, 0, 0, "LastDate=2817"},
      {"LastDate negative", 6, 8192, 12, -1, 0, 0, "LastDate=-1"},
      {"cut inside a record", 6, 8192, -1, 0, 100, 0, "途中で切れている"},
      {"shorter than the header", 6, 8192, -1, 0, DB_FILE_SIZE - 10, 0, "ヘッダが読めません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearPrtHistory();
    FixtureDatabase layout;
    layout.version = c.version;
    layout.slot_count = c.slot_count;
    layout.records = DbSlotsOfVersion(c.version) ? DbSlotsOfVersion(c.version) : MAX_KABU;
    WriteFixtureDatabase(layout);
    if (c.patch_at >= 0) PatchInt(c.patch_at, c.patch);
    struct stat st {};
    ASSERT_EQ(::stat(Db().c_str(), &st), 0);
    if (c.cut) {
      ASSERT_EQ(::truncate(Db().c_str(), st.st_size - c.cut), 0);
    }
    const std::string before = Head(64);
    LastDate = 5;
    EXPECT_EQ(VURN_file_in(-1, 0), c.expect);
    EXPECT_TRUE(PrtHas(c.line)) << Cp932ToUtf8(PrtJoined());
    EXPECT_EQ(LastDate, c.expect == 1 ? 10 : 5);
    EXPECT_EQ(Head(64), before);
  }
}

TEST_F(DatabaseFile, CalendarMustBeAscendingRealDates) {
  for (int32_t bad : {20261130 /* equal to the day before */, 20261332}) {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 10);
    PatchInt(20 + 4 * 3, bad);
    nikkei_date[0] = 123;
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    EXPECT_EQ(VURN_file_in(-1, 1), 0) << bad;
    EXPECT_EQ(nikkei_date[0], 123);  // nothing half-loaded
    EXPECT_NE(std::string(DbFailureText()).find("日付表が壊れています"), std::string::npos);
  }
}

TEST_F(DatabaseFile, ShortReadNeverKeepsThePreviousStock) {
  FixtureDatabase layout;
  layout.records = 3;  // a version-6 file holding only three slots
  WriteFixtureDatabase(layout);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(DbSlotsInFile(), 3);
  EXPECT_TRUE(PrtHas("レコードは 3 件です"));
  ASSERT_EQ(VURN_file_in(1, 2), 1);
  EXPECT_EQ(VURN_file_in(5, 2), 0);
  EXPECT_TRUE(IsEmptyRecord(*WorkHiashi()));

  // Cut inside slot 2: its read comes up short.
  ASSERT_EQ(::truncate(Db().c_str(), DbRecordOffset(2) + 1000), 0);
  ASSERT_EQ(VURN_file_in(1, 2), 1);
  EXPECT_EQ(VURN_file_in(2, 2), 0);
  EXPECT_TRUE(IsEmptyRecord(*WorkHiashi()));

  for (int n : {-1, MAX_KABU}) {
    ASSERT_EQ(VURN_file_in(1, 2), 1);
    EXPECT_EQ(VURN_file_in(n, 2), 0);
    EXPECT_TRUE(IsEmptyRecord(*WorkHiashi()));
  }
}

TEST_F(DatabaseFile, RecordValuesAreKeptWhereReadersCanIndex) {
  WriteFixtureDatabase(3, 10);
  PatchInt(DbRecordOffset(1) + 39464, -5);     // start
  PatchInt(DbRecordOffset(1) + 39468, 99999);  // end
  int fd = ::open(Db().c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, std::string(32, 'N').data(), 32, DbRecordOffset(1) + 39424), 32);
  ::close(fd);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(1, 2), 1);
  EXPECT_EQ(WorkHiashi()->start, 0);
  EXPECT_EQ(WorkHiashi()->end, 9);
  EXPECT_EQ(WorkHiashi()->name[31], '\0');
  EXPECT_EQ(std::string(WorkHiashi()->name), std::string(31, 'N'));
}

TEST_F(DatabaseFile, CreateWriteAndRewriteHeader) {
  LastDate = 3;
  LastKabu = 2;
  fundamental[1].code = FixtureCode(1);
  nikkei_date[0] = 20261207;
  nikkei_date[1] = 20261208;
  nikkei_date[2] = 20261209;
  ASSERT_EQ(VURN_file_out(-1, 0), 1);
  EXPECT_TRUE(PrtHas("sizeof(hiashi)=39472, MAX_DATE=2816"));
  EXPECT_TRUE(PrtHas("vurn.hy3 output to file... completed データベース作成完了！"));
  // Every slot exists at once (as zero bytes), so that record writes never grow the file.
  struct stat st {};
  ASSERT_EQ(::stat(Db().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, DB_FILE_SIZE);

  FillFixtureRecord(1, 3, WorkHiashi());
  ASSERT_EQ(VURN_file_out(1, 2), 1);
  FillFixtureRecord(2, 3, WorkHiashi());
  ASSERT_EQ(VURN_file_out(MAX_KABU - 1, 2), 1);
  ASSERT_EQ(::stat(Db().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, DB_FILE_SIZE);

  nikkei_date[3] = 20261210;
  LastDate = 4;
  ASSERT_EQ(VURN_file_out(-1, 1), 1);
  LastDate = 0;
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(LastDate, 4);
  ASSERT_EQ(VURN_file_in(1, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 7001);
  EXPECT_EQ(Packed_to_Value(WorkHiashi()->close[2]), 1012);

  // Nothing but the database and its lock file is left in the folder.
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.path().c_str());
  while (dirent* e = ::readdir(d))
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  ::closedir(d);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"vurn.hy3", "vurn.hy3.lock"}));
}

TEST_F(DatabaseFile, FailedSeekNeverWrites) {
  ASSERT_EQ(::mkfifo(Db().c_str(), 0644), 0);  // opens for update, but cannot seek
  FillFixtureRecord(0, 3, WorkHiashi());
  EXPECT_EQ(VURN_file_out(0, 2), 0);
  EXPECT_TRUE(PrtHas("fseek() Err out index"));
  EXPECT_EQ(VURN_file_out(-1, 1), 0);
  // Nothing went into the pipe.
  int fd = ::open(Db().c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  char c;
  EXPECT_LE(::read(fd, &c, 1), 0);
  ::close(fd);
}

TEST_F(DatabaseFile, UpdatesNeverTouchAFileOfAnotherLayout) {
  for (int version : {7, 5}) {
    FixtureDatabase layout;
    layout.version = version;
    layout.records = 8;
    WriteFixtureDatabase(layout);
    const std::string before = ReadFileBytes(Db());
    FillFixtureRecord(0, 3, WorkHiashi());
    WorkHiashi()->code = 1234;
    EXPECT_EQ(VURN_file_out(0, 2), 0) << version;
    EXPECT_EQ(VURN_file_out(-1, 1), 0) << version;
    EXPECT_EQ(ReadFileBytes(Db()), before) << version;
  }
}

// Makes a file unwritable, also for root (immutable); false when neither way works here.
bool MakeReadOnly(const std::string& path) {
  ::chmod(path.c_str(), 0444);
  if (::geteuid() != 0) return true;
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags |= FS_IMMUTABLE_FL;
  ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return ok;
}

void UndoReadOnly(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd >= 0) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
  }
  ::chmod(path.c_str(), 0644);
}

TEST_F(DatabaseFile, ReadOnlyFileFailsAtOnceNamingTheReason) {
  WriteFixtureDatabase(3, 10);
  if (!MakeReadOnly(Db())) GTEST_SKIP() << "cannot make a read-only file here";
  FillFixtureRecord(0, 10, WorkHiashi());
  WorkHiashi()->code = 1234;
  EXPECT_EQ(VURN_file_out(0, 2), 0);
  EXPECT_EQ(VURN_file_out(-1, 1), 0);
  EXPECT_EQ(host.slept_ms, 0);  // a lasting error is not waited for
  const std::string why = DbFailureText();
  EXPECT_NE(why.find("vurn.hy3"), std::string::npos);
  EXPECT_NE(why.find("アクセスが許可されていません"), std::string::npos) << Cp932ToUtf8(why);
  UndoReadOnly(Db());
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 7000);
}

TEST_F(DatabaseFile, MissingFolderFailsAtOnce) {
  SetCurrentDir((dir.path() + "/no/such/folder").c_str());
  FillFixtureRecord(0, 3, WorkHiashi());
  EXPECT_EQ(VURN_file_out(0, 2), 0);
  EXPECT_EQ(VURN_file_out(-1, 0), 0);
  EXPECT_EQ(host.slept_ms, 0);
  EXPECT_NE(std::string(DbFailureText()).find("ファイルまたはフォルダがありません"), std::string::npos)
      << Cp932ToUtf8(DbFailureText());
}

// Writes beyond a file-size limit fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = saved_;
    r.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &r);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit saved_{};
  void (*old_handler_)(int) = nullptr;
};

TEST_F(DatabaseFile, FullDiskIsReportedAndLosesNothing) {
  WriteFixtureDatabase(3, 10);
  const std::string head = Head(static_cast<size_t>(DbRecordOffset(3)));
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  {
    FileSizeLimit limit(20000);
    // A new file cannot be completed: the old one stays.
    EXPECT_EQ(VURN_file_out(-1, 0), 0);
    // A record beyond the limit cannot be written.
    FillFixtureRecord(0, 10, WorkHiashi());
    EXPECT_EQ(VURN_file_out(5, 2), 0);
  }
  EXPECT_NE(std::string(DbFailureText()).find("vurn.hy3"), std::string::npos);
  EXPECT_EQ(Head(static_cast<size_t>(DbRecordOffset(3))), head);
  struct stat st {};
  ASSERT_EQ(::stat(Db().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, DB_FILE_SIZE);
  // No temporary file is left behind.
  DIR* d = ::opendir(dir.path().c_str());
  while (dirent* e = ::readdir(d)) EXPECT_EQ(std::string(e->d_name).find(".tmp"), std::string::npos) << e->d_name;
  ::closedir(d);
}

}  // namespace

namespace {

// Batch work reads and writes through its own buffer; the work record stays as it was.
TEST_F(DatabaseFile, RecordsGoThroughTheCallersBuffer) {
  WriteFixtureDatabase(3, 10);
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(0, 2), 1);
  const Hiashi shown = *WorkHiashi();
  auto buf = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(2, buf.get()), 1);
  EXPECT_EQ(buf->code, FixtureCode(2));
  EXPECT_EQ(Packed_to_Value(buf->close[9]), 1029);
  buf->close[9] = Value_to_Packed(2000);
  ASSERT_EQ(WriteRecord(2, buf.get()), 1);
  EXPECT_EQ(std::memcmp(WorkHiashi(), &shown, sizeof shown), 0);
  std::memset(buf.get(), 0x55, sizeof(Hiashi));
  ASSERT_EQ(ReadRecord(2, buf.get()), 1);
  EXPECT_EQ(Packed_to_Value(buf->close[9]), 2000);
  EXPECT_EQ(ReadRecordChecked(MAX_KABU, buf.get()), RecordRead::kFailed);
  EXPECT_EQ(WriteRecord(-1, buf.get()), 0);
}

// A record whose code is not its stock's (or no code at all) reads as that stock's empty
// record, reported once; nothing later formats the foreign code.
TEST_F(DatabaseFile, RecordOfAnotherCodeShowsAsNoData) {
  WriteFixtureDatabase(3, 10);
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  struct Case {
    int slot;
    int32_t code;
  } cases[] = {{1, 99999999}, {2, -7}, {0, 7002}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    PatchInt(DbRecordOffset(c.slot) + 39456, c.code);
    ClearPrtHistory();
    auto buf = std::make_unique<Hiashi>();
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(VURN_file_in(c.slot, 2), 1);  // shown as no data, not as a failed read
      EXPECT_EQ(ReadRecordChecked(c.slot, buf.get()), RecordRead::kNotOurs);
      EXPECT_EQ(ReadRecord(c.slot, buf.get()), 0);
    }
    for (const Hiashi* h : {static_cast<const Hiashi*>(WorkHiashi()), static_cast<const Hiashi*>(buf.get())}) {
      EXPECT_EQ(h->code, FixtureCode(c.slot));
      EXPECT_STREQ(h->name, fundamental[c.slot].name);
      EXPECT_EQ(h->start, 10);
      EXPECT_EQ(h->end, 9);
      EXPECT_EQ(h->close[3], 0);
    }
    int lines = 0;
    for (int i = 0; i < PRT_LINES; ++i) lines += std::strstr(PrtLines[i], "のものです") != nullptr;
    EXPECT_EQ(lines, 1);
    EXPECT_NE(std::string(DbFailureText()).find("stock_num=" + std::to_string(c.slot)), std::string::npos);
  }
  // Beyond the stock table a record needs only a valid code.
  LastKabu = 0;
  EXPECT_EQ(VURN_file_in(2, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 0);
  EXPECT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 7002);
}

}  // namespace
