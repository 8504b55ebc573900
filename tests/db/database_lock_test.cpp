#include "db/database_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/open_retry.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

// Another instance's hold on the lock: flock belongs to an open file description, so a
// second descriptor in this process conflicts exactly as another process would.
struct OtherInstance {
  int fd;
  OtherInstance() : fd(::open(DataFilePath(DB_LOCK_FILE).c_str(), O_RDWR | O_CREAT, 0644)) {}
  ~OtherInstance() { ::close(fd); }
  bool Lock() { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }
  void Unlock() { ::flock(fd, LOCK_UN); }
};


class DatabaseLock : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 10);
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
  }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir;
};

TEST_F(DatabaseLock, WriteWaitsWhileAnotherInstanceHoldsItThenFails) {
  ScriptedHost host;
  OtherInstance other;
  ASSERT_TRUE(other.Lock());
  FillFixtureRecord(0, 10, WorkHiashi());
  WorkHiashi()->code = 1234;
  EXPECT_EQ(VURN_file_out(0, 2), 0);
  // 101 attempts a second apart, each failure reported.
  EXPECT_EQ(host.slept_ms, OPEN_RETRY_LIMIT * 1000);
  EXPECT_TRUE(PrtHas("fopen(lock) fail! ウイルスバスターのせい？n=1,Try once more"));
  EXPECT_TRUE(PrtHas("fopen(lock) fail! ウイルスバスターのせい？n=101,Try once more"));
  EXPECT_FALSE(PrtHas("n=102,"));
  EXPECT_NE(std::string(DbFailureText()).find("ロックを取れません"), std::string::npos);
  other.Unlock();
  ASSERT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 7000);  // nothing was written
}

TEST_F(DatabaseLock, WriteGoesAheadOnceTheOtherInstanceIsDone) {
  OtherInstance other;
  ASSERT_TRUE(other.Lock());
  ScriptedHost host;
  // The other instance finishes during the third second of waiting.
  int sleeps = 0;
  host.on_sleep = [&](int) {
    if (++sleeps == 3) other.Unlock();
  };
  FillFixtureRecord(0, 10, WorkHiashi());
  WorkHiashi()->code = 4321;
  EXPECT_EQ(VURN_file_out(0, 2), 1);
  EXPECT_EQ(sleeps, 3);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(PrtHas("n=3,Try once more"));
  EXPECT_FALSE(PrtHas("n=4,Try once more"));
  ASSERT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 4321);
  // The writer let go of the lock afterwards.
  EXPECT_FALSE(DatabaseLocked());
  EXPECT_TRUE(other.Lock());
}

TEST_F(DatabaseLock, HoldsNestWithinOneProcess) {
  ScriptedHost host;
  OtherInstance other;
  ASSERT_EQ(LockDatabase(), 0);
  ASSERT_EQ(LockDatabase(), 0);
  // A write inside the outer hold does not wait for itself.
  FillFixtureRecord(1, 10, WorkHiashi());
  EXPECT_EQ(VURN_file_out(1, 2), 1);
  EXPECT_EQ(host.slept_ms, 0);
  UnlockDatabase();
  EXPECT_TRUE(DatabaseLocked());
  EXPECT_FALSE(other.Lock());
  UnlockDatabase();
  EXPECT_FALSE(DatabaseLocked());
  EXPECT_TRUE(other.Lock());
}

TEST_F(DatabaseLock, PatientOpenFailsAtOnceOnALastingError) {
  ScriptedHost host;
  int err = 0;
  const std::string name = dir.path() + "/missing/vurn_fu4.hy3";
  EXPECT_EQ(OpenRetry(name.c_str(), "rb", &err), nullptr);
  EXPECT_EQ(err, ENOENT);
  EXPECT_EQ(host.slept_ms, 0);
  EXPECT_TRUE(PrtHas("vurn_fu4.hy3 を開けません(rb): ファイルまたはフォルダがありません"));
  std::FILE* f = OpenRetry(dir.File(DB_FILE).c_str(), "rb", &err);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(err, 0);
  std::fclose(f);
}

}  // namespace
