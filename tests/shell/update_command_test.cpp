#include "shell/update_command.h"

#include <gtest/gtest.h>

#include "chart/chart_repaint.h"
#include "db/database_file.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/hooks.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

int g_feature_runs;
int g_busy_seen;

class UpdateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ClearCommands();
    RegisterUpdateCommands();
    g_feature_runs = 0;
    g_busy_seen = 0;
    DayFileUpdateFeature = [] {
      ++g_feature_runs;
      g_busy_seen = fBusy;
    };
  }
  void TearDown() override {
    DayFileUpdateFeature = nullptr;
    AccessWarningHook = nullptr;
    ClearCommands();
    ResetDatabaseState();
  }
  TempDir dir;
};

TEST_F(UpdateCommand, RefusedInTheSampleModeWithFBusyClear) {
  ScriptedHost host;
  fSampleDB = 1;
  OnCommand(IDM_DAYFILE_UPDATE);
  EXPECT_EQ(g_feature_runs, 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "警告");
  EXPECT_EQ(fBusy, 0);
}

TEST_F(UpdateCommand, RunsBusyThenReloadsRepaintsAndScrollsToTheEnd) {
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  ASSERT_TRUE(VURN_file_in(-1, 0));
  int repaints = ChartRepaintRequests();
  OnCommand(IDM_DAYFILE_UPDATE);
  EXPECT_EQ(g_feature_runs, 1);
  EXPECT_EQ(g_busy_seen, 1);
  EXPECT_EQ(fBusy, 0);
  EXPECT_EQ(ChartRepaintRequests(), repaints + 1);
  EXPECT_EQ(host.posted, std::vector<int>{IDM_POST_KEY});
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(UpdateCommand, DecliningTheAccessWarningLeavesFBusyClear) {
  ScriptedHost host;
  static int busy_during_warning;
  busy_during_warning = -1;
  AccessWarningHook = [](int) {
    busy_during_warning = fBusy;
    return false;
  };
  OnCommand(IDM_TODAY_DOWNLOAD);
  EXPECT_EQ(busy_during_warning, 0);
  EXPECT_EQ(fBusy, 0);
  EXPECT_TRUE(host.boxes.empty());
}

int g_closer_calls;

TEST(ToolWindowClosers, ACloserRegisteredAgainRunsOnce) {
  g_closer_calls = 0;
  void (*closer)() = [] { ++g_closer_calls; };
  // As when the main window is built a second time.
  RegisterToolWindowCloser(closer);
  RegisterToolWindowCloser(closer);
  CloseToolWindows();
  EXPECT_EQ(g_closer_calls, 1);
}

}  // namespace
