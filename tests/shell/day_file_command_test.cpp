// Command 40015: the update from a day file the user chooses, through the update pattern
// (busy, reload of the shown stock, End key), with the host's file chooser and progress.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/day_merge.h"
#include "chart/shown_stock.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "shell/update_command.h"
#include "support/db_fixture.h"
#include "support/merge_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "platform/hooks.h"

namespace {

int g_stale;

class DayFileCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ClearCommands();
    RegisterUpdateCommands();
    g_stale = 0;
    ScreeningStaleHook = [] { ++g_stale; };
    ::mkdir(dir.File("data").c_str(), 0777);
  }
  void TearDown() override {
    ClearCommands();
    DayFileUpdateFeature = nullptr;
    RecordMergedHook = nullptr;
    ScreeningStaleHook = nullptr;
    MergeFinishedHook = nullptr;
    ResetDatabaseState();
  }
  std::string DayFile(int32_t date) {
    const std::string path = dir.File("data/y" + std::to_string(date % 1000000) + ".txt");
    WriteFileBytes(path, DayFileText(date, {{2, 700, 720, 690, 710, "5"}, {3, 800, 820, 790, 810, "6"}}));
    return path;
  }
  TempDir dir;
};

TEST_F(DayFileCommand, MergesTheChosenFileAndShowsTheNewBar) {
  WriteFixtureDatabase(10, 20);
  ASSERT_TRUE(LoadMergeFixture());
  DispNum = 2;
  LoadHiashi(DispNum);
  ScriptedHost host;
  host.Choose(DayFile(20261210));
  host.Answer(IDOK, "データベース更新");  // append?
  host.Answer(IDOK, "データベース更新");  // done
  OnCommand(IDM_DAYFILE_UPDATE);
  EXPECT_EQ(LastDate, 21);
  EXPECT_EQ(WorkHiashi()->end, 20);  // the shown stock was read again
  ASSERT_EQ(host.choice_titles.size(), 1u);
  EXPECT_EQ(host.choice_titles[0], "ダウンロード済みデータで更新");
  EXPECT_EQ(host.progress.title, "DB更新中");
  EXPECT_FALSE(host.progress.open);
  EXPECT_NE(host.progress.text.find("7003"), std::string::npos) << host.progress.text;
  EXPECT_EQ(host.boxes.back().text, "データの更新完了");
  EXPECT_EQ(host.posted, std::vector<int>{IDM_POST_KEY});
  EXPECT_EQ(fBusy, 0);
}

TEST_F(DayFileCommand, NoFileChosenChangesNothing) {
  WriteFixtureDatabase(10, 20);
  ASSERT_TRUE(LoadMergeFixture());
  ScriptedHost host;
  host.Choose("");
  OnCommand(IDM_DAYFILE_UPDATE);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(LastDate, 20);
  EXPECT_NE(PrtJoined().find(CurrentDir), std::string::npos);
}

TEST_F(DayFileCommand, CancelDuringAShiftLeavesTheDatabaseAsBefore) {
  WriteFixtureDatabase(10, MAX_DATE);
  ASSERT_TRUE(LoadMergeFixture());
  const std::string before = DatabaseBytes(11);
  ScriptedHost host;
  host.on_pump = [&host] {
    if (host.progress.title == "DB更新中" && host.progress.steps.size() > 4) host.progress_cancel = true;
  };
  host.Choose(DayFile(20261210));
  host.Answer(IDOK, "データベース更新");
  host.Answer(IDOK, "データベース更新");  // "中止しました"
  OnCommand(IDM_DAYFILE_UPDATE);
  EXPECT_EQ(host.boxes.back().text, "中止しました");
  EXPECT_EQ(DatabaseBytes(11), before);
  EXPECT_EQ(LastDate, MAX_DATE);
  EXPECT_EQ(nikkei_date[MAX_DATE - 1], 20261209);
  EXPECT_EQ(g_stale, 1);  // records had been handed to the screening data
}

}  // namespace
