// Full-size databases: growth of older files to 8192 slots, padding of a short file, the
// last slot of a complete file, and kills during the upgrade of a file full of records.
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/master_file.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

// A cheap fingerprint of a byte range of a file (FNV-1a over 1 MB blocks).
uint64_t Fingerprint(const std::string& path, int64_t from, int64_t to) {
  int fd = ::open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  std::vector<unsigned char> buf(1 << 20);
  uint64_t h = 1469598103934665603ull;
  for (int64_t at = from; at < to;) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(to - at, static_cast<int64_t>(buf.size())));
    ssize_t n = ::pread(fd, buf.data(), want, at);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) h = (h ^ buf[static_cast<size_t>(i)]) * 1099511628211ull;
    at += n;
  }
  ::close(fd);
  return h;
}

int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

class FullSize : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  std::string Db() const { return dir.File(DB_FILE); }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(FullSize, OlderVersionsGrowWithTheirRecordsUnchanged) {
  for (int version : {5, 4}) {
    SCOPED_TRACE(version);
    ResetDatabaseState();
    host.wait_texts.clear();
    const int slots = DbSlotsOfVersion(version);
    WriteFixtureTag(3);
    FixtureDatabase layout;
    layout.version = version;
    layout.days = 250;
    WriteFixtureDatabase(layout);
    // The last old slot carries data too.
    {
      Hiashi h;
      FillFixtureRecord(7, 250, &h);
      int fd = ::open(Db().c_str(), O_WRONLY);
      ASSERT_EQ(::pwrite(fd, &h, sizeof h, DbRecordOffset(slots - 1)), static_cast<ssize_t>(sizeof h));
      ::close(fd);
    }
    const int64_t old_size = DbRecordOffset(slots);
    ASSERT_EQ(FileSize(Db()), old_size);
    const uint64_t calendar = Fingerprint(Db(), 20, DB_HEADER_SIZE);
    const uint64_t records = Fingerprint(Db(), DB_HEADER_SIZE, old_size);
    ASSERT_NE(LoadTag(), 0);

    UpgradeDatabase();
    EXPECT_EQ(FileSize(Db()), 323365908);
    EXPECT_EQ(Fingerprint(Db(), 20, DB_HEADER_SIZE), calendar);
    EXPECT_EQ(Fingerprint(Db(), DB_HEADER_SIZE, old_size), records);
    const std::string head = ReadFileRange(Db(), 0, 20);
    int32_t h[5];
    std::memcpy(h, head.data(), 20);
    EXPECT_EQ(h[0], 6);
    EXPECT_EQ(h[1], 8192);
    EXPECT_EQ(h[2], 2816);
    EXPECT_EQ(h[3], 250);
    EXPECT_EQ(h[4], 3);
    // The new slots are zero bytes.
    EXPECT_EQ(ReadFileRange(Db(), DbRecordOffset(MAX_KABU - 1), sizeof(Hiashi)), std::string(sizeof(Hiashi), '\0'));
    EXPECT_EQ(ReadFileRange(Db(), DbRecordOffset(slots), sizeof(Hiashi)), std::string(sizeof(Hiashi), '\0'));
    ASSERT_EQ(host.wait_texts.size(), 1u);
    EXPECT_EQ(host.wait_texts[0],
              "データベースの拡張をしています。\n1分ほどお待ち下さい。\n\nこの処理は今回のバージョンアップでのみ行われます。");
    EXPECT_FALSE(host.wait_open);
    EXPECT_TRUE(PrtHas("vurn.hy3の拡張"));
    EXPECT_TRUE(PrtHas("LastKabu=3,LastDate=250"));
    EXPECT_TRUE(PrtHas("DB5 ---> DB6 end..."));
    EXPECT_TRUE(host.boxes.empty());
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    EXPECT_EQ(DbVersion, 6);
  }
}

TEST_F(FullSize, ShortVersion6FileIsPaddedWhenTheUserAgrees) {
  WriteFixtureTag(3);
  FixtureDatabase layout;
  layout.records = 5;
  WriteFixtureDatabase(layout);
  const uint64_t before = Fingerprint(Db(), 0, DbRecordOffset(5));
  ASSERT_NE(LoadTag(), 0);
  host.Answer(IDYES, "データベースの確認");
  UpgradeDatabase();
  EXPECT_EQ(FileSize(Db()), DB_FILE_SIZE);
  EXPECT_EQ(Fingerprint(Db(), 0, DbRecordOffset(5)), before);
  EXPECT_EQ(Fingerprint(dir.File(DB_BACKUP_FILE), 0, DbRecordOffset(5)), before);
  EXPECT_EQ(FileSize(dir.File(DB_BACKUP_FILE)), DbRecordOffset(5));
  EXPECT_TRUE(PrtHas("空のレコードを 8187 件補いました"));
  EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(FullSize, LastSlotIsTheLastBytesOfTheFile) {
  WriteFixtureDatabase(3, 20);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  FillFixtureRecord(5, 20, WorkHiashi());
  WorkHiashi()->code = 9999;
  ASSERT_EQ(VURN_file_out(8191, 2), 1);
  std::memset(WorkHiashi(), 0x55, sizeof(Hiashi));
  ASSERT_EQ(VURN_file_in(8191, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 9999);
  EXPECT_EQ(FileSize(Db()), DB_FILE_SIZE);
  const std::string tail = ReadFileRange(Db(), DB_FILE_SIZE - 39472, 39472);
  EXPECT_EQ(std::memcmp(tail.data(), WorkHiashi(), 39472), 0);
}

// A version-5 file with every slot written, and a master file that renumbers three of its
// stocks: the upgrade grows the file and replaces three records with price history, in one
// new file. Killed at a sample of its steps (the small kill tests take every step), it is as
// before or after, and the next start completes it without a stray file.
TEST_F(FullSize, KillsDuringTheUpgradeOfAFullFile) {
  std::vector<Fundamental> entries = FixtureStocks(DB_SLOTS_V5);
  for (int n : {0, 3000, DB_SLOTS_V5 - 1}) entries[static_cast<size_t>(n)].code = 9000 + n % 1000;
  const std::string master = dir.File("master.bin"), original = dir.File("original.bin");
  WriteFixtureTag(entries);
  ASSERT_EQ(::rename(dir.File(TAG_FILE).c_str(), master.c_str()), 0);
  FixtureDatabase layout;
  layout.version = 5;
  layout.stocks = DB_SLOTS_V5;
  layout.days = 60;
  WriteFixtureDatabase(layout);
  ASSERT_EQ(::rename(Db().c_str(), original.c_str()), 0);
  auto fresh = [&] {
    ::unlink(dir.File(DB_BACKUP_FILE).c_str());
    const auto over = std::filesystem::copy_options::overwrite_existing;
    ASSERT_TRUE(std::filesystem::copy_file(original, Db(), over));
    ASSERT_TRUE(std::filesystem::copy_file(master, dir.File(TAG_FILE), over));
  };
  auto answer = [&] {
    host.Answer(IDYES, "銘柄ファイルの確認");
    host.Answer(IDOK, "新規銘柄追加完了");
  };
  auto start = [&] {
    ResetDatabaseState();
    if (LoadTag() == 0) return false;
    UpgradeDatabase();
    return true;
  };
  fresh();
  const uint64_t before = ContentHash(Db());
  answer();
  const int steps = CountSteps(start);
  ASSERT_GT(steps, 10);
  const uint64_t after = ContentHash(Db());
  ASSERT_EQ(FileSize(Db()), DB_FILE_SIZE);
  ASSERT_EQ(ContentHash(dir.File(DB_BACKUP_FILE)), before);

  // The first step, one in the copy, and the last three: before keeping the backup, between
  // the backup's link and its rename, and before the rename of the new file.
  for (int step : {1, steps / 2, steps - 2, steps - 1, steps}) {
    SCOPED_TRACE(step);
    fresh();
    ASSERT_EQ(RunUntilStep(step, [&] {
                answer();
                return start();
              }),
              StepRun::kKilled);
    const uint64_t now = ContentHash(Db());
    ASSERT_TRUE(now == before || now == after);
    host.boxes.clear();
    if (now == before) answer();
    ASSERT_TRUE(start());
    EXPECT_EQ(ContentHash(Db()), after);
    EXPECT_EQ(ContentHash(dir.File(DB_BACKUP_FILE)), before);
    EXPECT_EQ(NamesContaining(dir.path(), ".tmp"), std::vector<std::string>{});
  }
}

}  // namespace
