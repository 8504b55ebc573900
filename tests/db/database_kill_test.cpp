// Kill tests of the start-up upgrade: the run is stopped at every step that changes a file
// (each write, copy, size change, link and rename), the database must then be exactly as
// before or after, and the next start must leave it as after with no stray file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/master_file.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

struct Scenario {
  const char* name;
  std::function<void()> prepare;           // writes vurn.tag and vurn.hy3
  std::function<void(ScriptedHost&)> answer;  // the answers of a run from the state before
  bool keeps_backup;
};

class KillDuringUpgrade : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  std::string Db() const { return dir.File(DB_FILE); }
  std::string Bak() const { return dir.File(DB_BACKUP_FILE); }
  void Fresh(const Scenario& s) {
    for (const std::string& name : NamesContaining(dir.path(), "vurn")) ::unlink(dir.File(name).c_str());
    ResetDatabaseState();
    s.prepare();
  }
  // One start: loads the master file and runs the upgrade.
  static void Start() {
    ResetDatabaseState();
    ASSERT_NE(LoadTag(), 0);
    UpgradeDatabase();
  }
  void KillAtEveryStep(const Scenario& s);
  TempDir dir;
  ScriptedHost host;
};

void KillDuringUpgrade::KillAtEveryStep(const Scenario& s) {
  SCOPED_TRACE(s.name);
  Fresh(s);
  const uint64_t before = ContentHash(Db());
  auto run = [&] {
    s.answer(host);
    Start();
    return true;
  };
  ASSERT_EQ(RunUntilStep(1 << 30, run), StepRun::kFinished);
  const uint64_t after = ContentHash(Db());
  ASSERT_NE(after, before);
  if (s.keeps_backup) {
    ASSERT_EQ(ContentHash(Bak()), before);
  }

  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE(step);
    Fresh(s);
    const StepRun r = RunUntilStep(step, run);
    if (r == StepRun::kFinished) break;
    ASSERT_EQ(r, StepRun::kKilled);
    const uint64_t now = ContentHash(Db());
    ASSERT_TRUE(now == before || now == after);
    // The next start completes the work or finds it done, and leaves nothing behind.
    host.boxes.clear();
    if (now == before) s.answer(host);
    Start();
    EXPECT_EQ(ContentHash(Db()), after);
    EXPECT_EQ(NamesContaining(dir.path(), ".tmp"), std::vector<std::string>{});
    EXPECT_EQ(ContentHash(Bak()), s.keeps_backup ? before : 0u);
  }
  EXPECT_GE(step, 5);  // the run has steps to kill at
}

// A master file of another edition: slots 0 to 2 hold prices of other stocks.
std::vector<Fundamental> OtherEdition() {
  std::vector<Fundamental> v = FixtureStocks(5);
  for (int n = 0; n < 3; ++n) v[static_cast<size_t>(n)].code = 8000 + n;
  return v;
}

TEST_F(KillDuringUpgrade, NewStocksReplacingPriceHistory) {
  KillAtEveryStep({"replace",
                   [] {
                     WriteFixtureTag(OtherEdition());
                     WriteFixtureDatabase(FixtureDatabase{});
                   },
                   [](ScriptedHost& h) {
                     h.Answer(IDYES, "銘柄ファイルの確認");
                     h.Answer(IDOK, "新規銘柄追加完了");
                   },
                   true});
}

TEST_F(KillDuringUpgrade, GrowthOfAnOlderFileWithNewStocks) {
  KillAtEveryStep({"grow",
                   [] {
                     WriteFixtureTag(5);
                     FixtureDatabase layout;
                     layout.version = 5;
                     WriteFixtureDatabase(layout);
                   },
                   [](ScriptedHost& h) { h.Answer(IDOK, "新規銘柄追加完了"); }, false});
}

TEST_F(KillDuringUpgrade, CompletingAShortFile) {
  KillAtEveryStep({"short",
                   [] {
                     WriteFixtureTag(3);
                     FixtureDatabase layout;
                     layout.records = 5;
                     WriteFixtureDatabase(layout);
                   },
                   [](ScriptedHost& h) { h.Answer(IDYES, "データベースの確認"); }, true});
}

}  // namespace
