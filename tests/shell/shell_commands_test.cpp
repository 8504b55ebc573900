#include "shell/shell_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>

#include "db/price_model.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/command_line.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "chart/shown_stock.h"
#include "shell/shell_state.h"
#include "shell/user_guide.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class ShellCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearCommands();
    RegisterShellCommands();
    LastKabu = 3;
    fundamental[0].code = 1001;
    fundamental[1].code = 7203;
    fundamental[2].code = 26530;  // 1A00
    DispNum = 0;
  }
  void TearDown() override {
    ClearCommands();
    LastKabu = 0;
    DispNum = 0;
  }
};

TEST_F(ShellCommands, ThirdCodeSearchShowsOnlyTheTip) {
  ScriptedHost host;
  static int dialogs;
  dialogs = 0;
  OpenCodeInputDialog = [](int) { ++dialogs; };
  nCodeSearch = 0;
  for (int i = 0; i < 4; ++i) OnCommand(IDM_CODE_SEARCH);
  EXPECT_EQ(dialogs, 3);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "ちょっと便利な機能");
  OpenCodeInputDialog = nullptr;
}

TEST_F(ShellCommands, StockSelectionByCommandAndByCode) {
  ScriptedHost host;
  EXPECT_TRUE(OnCommand(17203));
  EXPECT_EQ(DispNum, 1);
  ClearPrtHistory();
  OnCommand(19999);  // not in the table
  EXPECT_EQ(DispNum, 1);
  EXPECT_STREQ(PrtLines[PRT_LINES - 2], "お気に入りメニュー選択Err!");
  // 1A00 lies beyond the selection range; its start option still selects it.
  StartCode = StartAshi = 0;
  ParseStartOptions("-C1A00");
  PostStartCommands();
  host.RunPosted();
  EXPECT_EQ(DispNum, 2);
  StartCode = 0;
}

TEST_F(ShellCommands, HelpOpensTheGuideAndWebPageTheSite) {
  ScriptedHost host;
  OnCommand(IDM_HELP);  // from the build tree: the source's guide
  ASSERT_EQ(host.files_opened.size(), 1u);
  EXPECT_EQ(std::filesystem::path(host.files_opened[0]),
            std::filesystem::path(VURN_SOURCE_DIR) / "res/help/index.html");
  EXPECT_TRUE(host.boxes.empty());
  OnCommand(IDM_WEB_PAGE);
  EXPECT_EQ(host.urls, std::vector<std::string>{KIVORA_WEB_PAGE});
}

TEST_F(ShellCommands, GuideIsTakenFromTheFirstFolderHoldingIt) {
  TempDir dir;
  ScriptedHost host;
  std::filesystem::create_directories(dir.File("b"));
  std::ofstream(dir.File("b/index.html")) << "<html></html>";
  EXPECT_TRUE(OpenUserGuide({dir.File("a"), dir.File("b")}));
  EXPECT_EQ(host.files_opened, std::vector<std::string>{dir.File("b/index.html")});
  EXPECT_TRUE(host.boxes.empty());
  // Without a program for local pages the box names the file to open by hand.
  host.open_ok = false;
  EXPECT_FALSE(OpenUserGuide({dir.File("a"), dir.File("b")}));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find(dir.File("b/index.html")), std::string::npos);
}

TEST_F(ShellCommands, MissingGuideNamesWhereItWasLookedFor) {
  TempDir dir;
  ScriptedHost host;
  EXPECT_FALSE(OpenUserGuide({dir.File("a"), dir.File("b")}));
  EXPECT_TRUE(host.files_opened.empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find(dir.File("a")), std::string::npos);
  EXPECT_NE(host.boxes[0].text.find(dir.File("b")), std::string::npos);
  EXPECT_NE(host.boxes[0].text.find("ヘルプ(index.html)が見つかりません"), std::string::npos);
}

}  // namespace
