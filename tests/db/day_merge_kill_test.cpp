// A merge killed at any stock leaves the database as before (a shift of every record) or
// heals when run again (a plain append): either way the rerun gives the bytes of a merge
// that was never interrupted.
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/day_merge.h"
#include "support/db_fixture.h"
#include "support/merge_fixture.h"
#include "support/temp_dir.h"

namespace {

constexpr int STOCKS = 10;

// Kills the process before the n-th stock of the save pass.
struct KillingUi final : MergeUi {
  int kill_at = -1;
  bool saving = false;
  int seen = 0;
  void ProgressTitle(const char*) override { saving = true; }
  void ProgressStock(const char*, const char*) override {
    if (saving && seen++ == kill_at) ::raise(SIGKILL);
  }
};

class DayMergeKill : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  void Fresh(int days) {
    ResetDatabaseState();
    WriteFixtureDatabase(STOCKS, days);
    ASSERT_TRUE(LoadMergeFixture());
  }
  int Merge(int kill_at) {
    KillingUi ui;
    ui.timed = true;
    ui.kill_at = kill_at;
    return MergeDayFilePath(dir.File("y.txt"), &ui);
  }
  // Runs the merge in a child killed before stock kill_at of the save pass.
  void MergeKilled(int kill_at) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Merge(kill_at);
      ::_exit(0);  // not reached when the kill came
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "kill_at=" << kill_at;
  }
  void KillAndRerun(int days, bool as_before) {
    WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2", "100"},
                                                              {STOCKS - 1, 9, 9, 9, 9, "3"}}));
    Fresh(days);
    const std::string original = DatabaseBytes(STOCKS + 1);
    ASSERT_EQ(Merge(-1), 1);
    const std::string merged = DatabaseBytes(STOCKS + 1);
    ASSERT_NE(merged, original);
    for (int kill_at : {0, 3, STOCKS - 1}) {
      Fresh(days);
      ASSERT_EQ(DatabaseBytes(STOCKS + 1), original);
      MergeKilled(kill_at);
      if (as_before) {
        EXPECT_EQ(DatabaseBytes(STOCKS + 1), original) << "kill_at=" << kill_at;
      }
      ASSERT_TRUE(LoadMergeFixture());
      ASSERT_EQ(Merge(-1), 1) << "kill_at=" << kill_at;
      EXPECT_EQ(DatabaseBytes(STOCKS + 1), merged) << "kill_at=" << kill_at;
    }
  }
  TempDir dir;
};

TEST_F(DayMergeKill, FullCalendarShiftIsAllOrNothing) { KillAndRerun(MAX_DATE, true); }

TEST_F(DayMergeKill, AppendInPlaceHealsOnRerun) {
  // Without the split line the append stays in place.
  WriteFileBytes(dir.File("y.txt"),
                 DayFileText(20261210, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2"}, {STOCKS - 1, 9, 9, 9, 9, "3"}}));
  Fresh(20);
  MergeSummary sum;
  {
    KillingUi ui;
    ui.timed = true;
    ASSERT_EQ(MergeDayFilePath(dir.File("y.txt"), &ui, &sum), 1) << PrtJoined();
  }
  ASSERT_FALSE(sum.rewritten);
  const std::string merged = DatabaseBytes(STOCKS + 1);
  for (int kill_at : {1, 2}) {  // after one record, after two of three
    Fresh(20);
    MergeKilled(kill_at);
    ASSERT_TRUE(LoadMergeFixture());
    EXPECT_EQ(LastDate, 20);  // the calendar is written last
    ASSERT_EQ(Merge(-1), 1) << PrtJoined();
    EXPECT_EQ(DatabaseBytes(STOCKS + 1), merged) << "kill_at=" << kill_at;
  }
}

}  // namespace
