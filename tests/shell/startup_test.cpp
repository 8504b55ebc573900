#include "shell/startup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/sample_data.h"
#include "db/trading_calendar.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "chart/shown_stock.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir;
};

TEST_F(Startup, LoadsMasterFileThenDatabase) {
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  MainOnCreate();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(TagDate, 20261201);
  EXPECT_EQ(LastKabu, 3);
  EXPECT_EQ(LastDate, 10);
  EXPECT_EQ(nikkei_date[9], 20261209);
  EXPECT_EQ(WorkHiashi()->code, 7000);  // the record of DispNum 0
  EXPECT_EQ(fSampleDB, 0);
  EXPECT_TRUE(PrtHas("Load tag...作成日=20261201, LastKabu=3"));
  EXPECT_TRUE(PrtHas("LastDate=10,(年月日=20261209), MAX_DATE=2816"));
  EXPECT_TRUE(PrtHas("登録株数=3, MAX_KABU=8192, DB_VERSION=6, sizeof(stock)=39472"));
  EXPECT_EQ(CodeOrder[2][1], 2);
  EXPECT_EQ(CodeOrder[2][0], 2);
}

TEST_F(Startup, SampleDatabaseShowsItsMessageAndKeepsTwentyStocks) {
  ASSERT_EQ(WriteSampleData(dir.path()), 0);
  ScriptedHost host;
  host.Answer(IDOK, "サンプル版のデータベースで起動しています");
  MainOnCreate();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text.rfind("現在、サンプル版のデータベースで動いています。\n\nサンプル版では20銘柄", 0), 0u);
  EXPECT_EQ(fSampleDB, 1);
  EXPECT_EQ(LastKabu, 20);
  EXPECT_EQ(WorkHiashi()->code, 1001);
  EXPECT_TRUE(PrtHas("vurn.hy3 がない。TRY版。"));
  EXPECT_TRUE(PrtHas("LastDate=2816,(年月日=20261209)"));
  EXPECT_TRUE(PrtHas("登録株数=20,"));
}

TEST_F(Startup, MissingMasterFileIsReportedAndStartGoesOn) {
  FixtureDatabase layout;
  WriteFixtureDatabase(layout);
  ScriptedHost host;
  MainOnCreate();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(TagDate, 0);
  EXPECT_TRUE(PrtHas("ファンダメンタル(vurn.tag)読みこみ失敗！"));
  EXPECT_EQ(LastDate, 10);
}

TEST_F(Startup, BrokenCalendarAndRecordGetTheirBoxes) {
  WriteFixtureDatabase(3, 10);
  int fd = ::open(dir.File(DB_FILE).c_str(), O_WRONLY);
  const int32_t bad = 20200101;
  ASSERT_EQ(::pwrite(fd, &bad, 4, 20 + 4 * 4), 4);
  ::close(fd);
  DispNum = MAX_KABU;  // a record that cannot be read
  ScriptedHost host;
  host.Answer(IDOK, "データベースの読みこみ失敗");  // the calendar
  host.Answer(IDOK, "データベースの読みこみ失敗");  // the shown stock's record
  MainOnCreate();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text.rfind("データベースを作り直してください\n\n", 0), 0u);
  EXPECT_NE(host.boxes[0].text.find("日付表が壊れています（4 番目の日付=20200101）"), std::string::npos);
  EXPECT_EQ(host.boxes[1].text, "データベースを作り直してください");
  EXPECT_TRUE(PrtHas("登録株数=3,"));
}

size_t Count(const std::string& text, const char* what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; ++at) ++n;
  return n;
}

// A full calendar that is not ascending: refused in one line and one box, the start goes
// on over an empty calendar, and nothing writes that empty calendar over the file.
TEST_F(Startup, RefusedCalendarStartsEmptyAndIsNeverWrittenBack) {
  WriteFixtureDatabase(3, MAX_DATE);
  int fd = ::open(dir.File(DB_FILE).c_str(), O_RDWR);
  int32_t day99 = 0;
  ASSERT_EQ(::pread(fd, &day99, 4, 20 + 4 * 99), 4);
  ASSERT_EQ(::pwrite(fd, &day99, 4, 20 + 4 * 100), 4);  // the same day twice
  ::close(fd);
  const size_t used = static_cast<size_t>(DbRecordOffset(3));
  const std::string before = ReadFileRange(dir.File(DB_FILE), 0, used);
  ScriptedHost host;
  host.Answer(IDOK, "データベースの読みこみ失敗");
  MainOnCreate();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("日付表が壊れています（100 番目の日付="), std::string::npos);
  const std::string history = PrtJoined();
  EXPECT_EQ(Count(history, "日付表が壊れています"), 1u) << Cp932ToUtf8(history);
  EXPECT_EQ(Count(history, "暦にない日付"), 0u);
  EXPECT_TRUE(PrtHas("LastDate=0,(年月日=0), MAX_DATE=2816"));
  EXPECT_EQ(LastDate, 0);
  EXPECT_EQ(LastTradingDay(), -1);
  EXPECT_EQ(fCalendarRefused, 1);
  EXPECT_EQ(WorkHiashi()->start, 0);  // the shown stock has no bars over no days
  EXPECT_EQ(WorkHiashi()->end, -1);
  // A later header read does not bring the refused days back.
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(LastDate, 0);
  // Neither the calendar nor a record is written, and updates are refused with a box.
  EXPECT_EQ(VURN_file_out(-1, 1), 0);
  EXPECT_EQ(VURN_file_out(0, 2), 0);
  host.Answer(IDOK, "警告");
  EXPECT_EQ(IsUpdateAllowed(true), 0);
  EXPECT_NE(host.boxes.back().text.find("日付表が壊れています"), std::string::npos);
  MainOnDestroy();
  EXPECT_EQ(ReadFileRange(dir.File(DB_FILE), 0, used), before);
}

TEST_F(Startup, ExitSavesTheUserListsBeforeTheScreeningSnapshot) {
  // The snapshot can be computed again, the lists cannot: whenever a run dies while the
  // snapshot is being written, the lists of that run are already on disk.
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  MainOnCreate();
  Tyumoku_Num = 1;
  tyumoku[0].Code = 7203;
  MarkPhtChanged();
  const std::string in2 = dir.File(USER_DATA_FILE);
  bool snapshot_started = false;
  for (int step = 1; step < 400; ++step) {
    SCOPED_TRACE(step);
    ::unlink(in2.c_str());
    for (const std::string& name : NamesContaining(dir.path(), PHT_FILE)) ::unlink(dir.File(name).c_str());
    const StepRun r = RunUntilStep(step, [] {
      MainOnDestroy();
      return true;
    });
    if (r == StepRun::kFinished) break;
    ASSERT_EQ(r, StepRun::kKilled);
    if (NamesContaining(dir.path(), PHT_FILE).empty()) continue;
    snapshot_started = true;
    EXPECT_NE(ReadFileBytes(in2).find("Code=7203\n"), std::string::npos);
  }
  EXPECT_TRUE(snapshot_started);
  ResetUserData();
}

TEST_F(Startup, NoDatabaseAtAllStopsAfterItsBox) {
  WriteFixtureTag(3);
  EXPECT_EXIT(
      {
        ScriptedHost host;
        host.Answer(IDOK, "データベースの読みこみ失敗");
        host.Answer(IDOK, "エラーです。強制終了します");
        MainOnCreate();
      },
      ::testing::ExitedWithCode(1), "startup.cpp");
}

}  // namespace
