// Command 40082: the dialog's result decides whether the day file is merged; the timed
// download merges unattended.
#include "shell/today_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "db/database_file.h"
#include "net/today_download.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/update_command.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "platform/hooks.h"

namespace {

int g_dialog_result;
std::string g_merged;
int g_merges, g_unattended;

class TodayCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ClearCommands();
    TodayDownloadFeature = nullptr;
    RegisterUpdateCommands();
    g_merges = 0;
    g_unattended = -1;
    g_merged.clear();
    TodayDownloadDialog = [] {
      std::strcpy(WebDayFileName, "data/y261210.txt");
      return g_dialog_result;
    };
    MergeDayFileHook = [](const char* path, bool unattended) {
      ++g_merges;
      g_merged = path;
      g_unattended = unattended;
      return 1;
    };
  }
  void TearDown() override {
    TodayDownloadDialog = nullptr;
    MergeDayFileHook = nullptr;
    fTimedDownload = 0;
    ClearCommands();
    ResetDatabaseState();
  }
  TempDir dir;
};

TEST_F(TodayCommand, MergesOnlyAfterADayFileWasWritten) {
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  ASSERT_TRUE(VURN_file_in(-1, 0));
  g_dialog_result = 0;
  OnCommand(IDM_TODAY_DOWNLOAD);
  EXPECT_EQ(g_merges, 0);
  g_dialog_result = 1;
  OnCommand(IDM_TODAY_DOWNLOAD);
  EXPECT_EQ(g_merges, 1);
  EXPECT_EQ(g_merged, "data/y261210.txt");
  EXPECT_EQ(g_unattended, 0);
  fTimedDownload = 1;
  OnCommand(IDM_TODAY_DOWNLOAD);
  EXPECT_EQ(g_unattended, 1);
  EXPECT_EQ(fBusy, 0);
}

TEST_F(TodayCommand, RefusedInTheSampleMode) {
  ScriptedHost host;
  fSampleDB = 1;
  g_dialog_result = 1;
  OnCommand(IDM_TODAY_DOWNLOAD);
  EXPECT_EQ(g_merges, 0);
  ASSERT_EQ(host.boxes.size(), 1u);
}

}  // namespace
