// The regular database's first file, written while the sample is in use: a kill at any step
// of the writing leaves either no vurn.hy3 (the sample mode goes on) or the whole new file.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/database_file.h"
#include "db/regular_database.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

TEST(RegularDatabase, AKillWhileWritingLeavesNoPartialDatabase) {
  TempDir dir;
  ScriptedHost host;
  ResetDatabaseState();
  EnterSampleMode(FixtureStocks(5), 3);
  const std::string db = dir.File(DB_FILE);
  ASSERT_EQ(RunUntilStep(1 << 30, [] { return WriteRegularDatabase() == 1; }), StepRun::kFinished);
  const uint64_t whole = ContentHash(db);
  ASSERT_NE(whole, 0u);
  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE(step);
    std::filesystem::remove(db);
    for (const std::string& name : NamesContaining(dir.path(), ".tmp")) std::filesystem::remove(dir.File(name));
    const StepRun r = RunUntilStep(step, [] { return WriteRegularDatabase() == 1; });
    if (r == StepRun::kFinished) break;
    ASSERT_EQ(r, StepRun::kKilled);
    if (std::filesystem::exists(db)) EXPECT_EQ(ContentHash(db), whole);
  }
  EXPECT_GE(step, 3);  // written, sized, renamed
  EXPECT_EQ(fSampleDB, 1);  // the children's work changed nothing here
  ResetDatabaseState();
}

}  // namespace
