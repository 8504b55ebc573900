// A merge killed at any file step (a write cut in half, a resize, the rename) leaves the
// database as before or as after, once the next taker of the update lock has put back an
// unfinished append: the rerun gives the bytes of a merge that was never interrupted, and so
// does the next day's merge.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "db/database_check.h"
#include "db/database_lock.h"
#include "db/day_merge.h"
#include "db/master_file.h"
#include "db/record_io.h"
#include "db/update_journal.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/merge_fixture.h"
#include "support/temp_dir.h"

namespace {

constexpr int STOCKS = 10;

class DayMergeKill : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  void Fresh(int days) {
    ResetDatabaseState();
    ResetRecordReports();
    WriteFixtureDatabase(STOCKS, days);
    ASSERT_TRUE(LoadMergeFixture());
  }
  bool Merge(MergeSummary* sum = nullptr, const char* name = "y.txt") {
    MergeUi ui;
    ui.timed = true;
    return MergeDayFilePath(dir.File(name), &ui, sum) == 1;
  }
  void KillAtEveryStep(int days, const std::vector<DayRow>& rows, bool rewritten) {
    WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, rows));
    Fresh(days);
    const std::string original = DatabaseBytes(STOCKS + 1);
    MergeSummary sum;
    const int steps = CountSteps([&] { return Merge(&sum); });
    ASSERT_EQ(sum.rewritten, rewritten);
    ASSERT_GT(steps, 3);
    const std::string merged = DatabaseBytes(STOCKS + 1);
    ASSERT_NE(merged, original);
    for (int step = 1; step <= steps; ++step) {
      Fresh(days);
      ASSERT_EQ(RunUntilStep(step, [&] { return Merge(); }), StepRun::kKilled) << "step " << step;
      if (rewritten) {
        EXPECT_EQ(DatabaseBytes(STOCKS + 1), original) << "step " << step;
      }
      ResetDatabaseState();
      ASSERT_TRUE(LoadMergeFixture()) << "step " << step;
      ASSERT_TRUE(Merge()) << "step " << step << PrtJoined();
      EXPECT_EQ(DatabaseBytes(STOCKS + 1), merged) << "step " << step;
    }
  }
  TempDir dir;
};

TEST_F(DayMergeKill, FullCalendarShiftIsAllOrNothing) {
  KillAtEveryStep(MAX_DATE, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2"}, {STOCKS - 1, 9, 9, 9, 9, "3"}}, true);
}

TEST_F(DayMergeKill, AppendInPlaceHealsOnRerun) {
  KillAtEveryStep(20, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2"}, {STOCKS - 1, 9, 9, 9, 9, "3"}}, false);
}

// What the database tool reads: LastDate and the records of the stocks, an undo file put
// back in memory.
std::string CheckView() {
  const std::string db = DataFilePath(DB_FILE);
  DbFileInfo info;
  DbInspectError error;
  EXPECT_TRUE(ReadDbFileInfo(db, DataFilePath(TAG_FILE), &info, &error)) << error.text;
  std::string view = std::to_string(info.header.last_date) + "|";
  Hiashi h;
  for (int s = 0; s < STOCKS; ++s) {
    EXPECT_TRUE(ReadDbRecordRaw(db, s, &h, &error)) << error.text;
    view.append(reinterpret_cast<const char*>(&h), sizeof h);
  }
  return view;
}

// Killed Monday, Tuesday's file lacks stocks that Monday's held: Tuesday's merge gives the
// bytes of Tuesday merged after Monday, or (Monday put back) of Tuesday alone, never Monday's
// bars under Tuesday's date. Before Tuesday, the check reads the database as before Monday
// or as after it, and finds it sound.
TEST_F(DayMergeKill, KilledAppendThenAnotherDayWithFewerStocks) {
  const int days = 20;
  WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2"}, {STOCKS - 1, 9, 9, 9, 9, "3"}}));
  WriteFileBytes(dir.File("y2.txt"), DayFileText(20261211, {{0, 6, 7, 5, 6, "4"}, {5, 3, 3, 3, 3, "5"}}));
  Fresh(days);
  ASSERT_TRUE(Merge(nullptr, "y2.txt"));
  const std::string tuesday_alone = DatabaseBytes(STOCKS + 1);
  Fresh(days);
  const std::string monday_before = CheckView();
  const int steps = CountSteps([&] { return Merge(); });
  ASSERT_GT(steps, 3);
  const std::string monday_after = CheckView();
  ResetDatabaseState();
  ASSERT_TRUE(LoadMergeFixture());
  ASSERT_TRUE(Merge(nullptr, "y2.txt"));
  const std::string both = DatabaseBytes(STOCKS + 1);
  ASSERT_NE(both, tuesday_alone);
  for (int step = 1; step <= steps; ++step) {
    Fresh(days);
    ASSERT_EQ(RunUntilStep(step, [&] { return Merge(); }), StepRun::kKilled) << "step " << step;
    const std::string seen = CheckView();
    EXPECT_TRUE(seen == monday_before || seen == monday_after) << "step " << step;
    DbCheckResult check;
    DbInspectError error;
    ASSERT_TRUE(CheckDbFiles(DataFilePath(DB_FILE), DataFilePath(TAG_FILE), &check, &error)) << error.text;
    EXPECT_EQ(check.problem_count, 0) << "step " << step << ": " << (check.problems.empty() ? "" : check.problems[0]);
    ResetDatabaseState();
    ASSERT_TRUE(LoadMergeFixture()) << "step " << step;
    ASSERT_TRUE(Merge(nullptr, "y2.txt")) << "step " << step << PrtJoined();
    const std::string got = DatabaseBytes(STOCKS + 1);
    EXPECT_TRUE(got == tuesday_alone || got == both) << "step " << step;
    EXPECT_TRUE(NamesContaining(dir.path(), ".undo").empty()) << "step " << step;
  }
}

// An undo file left by a killed append is no longer of the database once another one is
// copied over it: the next lock removes it and puts nothing into the new database.
TEST_F(DayMergeKill, AnUndoFileOfAnotherDatabaseIsRemovedUntouched) {
  WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, {{0, 5, 6, 4, 5, "1"}, {4, 7, 8, 6, 7, "2"}}));
  Fresh(20);
  const int steps = CountSteps([&] { return Merge(); });
  ASSERT_GT(steps, 3);
  Fresh(20);
  StepRun run = StepRun::kFinished;
  // The last step of a killed run that leaves its undo file in place.
  for (int step = steps; step > 0 && !UnfinishedUpdateExists(); --step) {
    Fresh(20);
    run = RunUntilStep(step, [&] { return Merge(); });
  }
  ASSERT_EQ(run, StepRun::kKilled);
  ASSERT_TRUE(UnfinishedUpdateExists());
  WriteFixtureDatabase(STOCKS, 30);  // restored from elsewhere
  const std::string restored = DatabaseBytes(STOCKS + 1);
  DbCheckResult check;
  DbInspectError error;
  ASSERT_TRUE(CheckDbFiles(DataFilePath(DB_FILE), DataFilePath(TAG_FILE), &check, &error));
  EXPECT_NE(check.note.find("このデータベースのものではありません"), std::string::npos);
  ASSERT_EQ(LockDatabase(), 0);
  UnlockDatabase();
  EXPECT_FALSE(UnfinishedUpdateExists());
  EXPECT_EQ(DatabaseBytes(STOCKS + 1), restored);
}

}  // namespace
