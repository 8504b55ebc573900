#include "shell/main_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_repaint.h"
#include "shell/command_dispatch.h"
#include "shell/command_ids.h"
#include "shell/virtual_keys.h"
#include "support/scripted_host.h"

namespace {

std::vector<int> g_scrolled;
std::vector<int> g_stepped;

class MainKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    g_scrolled.clear();
    g_stepped.clear();
    ChartKeyScrollHook = [](int vk) { g_scrolled.push_back(vk); };
    StockStepHook = [](int places) { g_stepped.push_back(places); };
  }
  void TearDown() override {
    ChartKeyScrollHook = nullptr;
    StockStepHook = nullptr;
  }
  ScriptedHost host;
};

TEST_F(MainKeys, KeysPostTheirCommands) {
  struct Case {
    int vk;
    std::vector<int> posted;
    bool scrolls;
  } cases[] = {
      {VK_OEM_PLUS, {IDM_SPACING_WIDER}, true},    {VK_ADD, {IDM_SPACING_WIDER}, true},
      {VK_OEM_MINUS, {IDM_SPACING_NARROWER}, true}, {VK_SUBTRACT, {IDM_SPACING_NARROWER}, true},
      {VK_SPACE, {IDM_NEXT_STOCK}, false},          {VK_BACK, {IDM_PREV_STOCK}, false},
      {VK_END, {}, true},                           {'7', {}, false},
      {VK_NUMPAD0 + 3, {}, false},                  {VK_ESCAPE, {}, false},
  };
  for (const Case& c : cases) {
    host.posted.clear();
    g_scrolled.clear();
    int repaints = ChartRepaintRequests();
    MainOnKeyDown(c.vk);
    EXPECT_EQ(host.posted, c.posted) << c.vk;
    EXPECT_EQ(g_scrolled.size(), c.scrolls ? 1u : 0u) << c.vk;
    EXPECT_EQ(ChartRepaintRequests() - repaints, c.vk == VK_ESCAPE ? 1 : 0) << c.vk;
  }
}

TEST_F(MainKeys, ShiftAloneSwitchesPeriodButNotWhenTypingCapitals) {
  MainOnKeyDown(VK_SHIFT);
  MainOnKeyUp(VK_SHIFT);
  EXPECT_EQ(host.posted, std::vector<int>{IDM_ASHI_NEXT});
  host.posted.clear();
  // Shift+A, as in typing a capital letter.
  MainOnKeyDown(VK_SHIFT);
  MainOnKeyDown('A');
  MainOnKeyUp('A');
  MainOnKeyUp(VK_SHIFT);
  EXPECT_TRUE(host.posted.empty());
}

TEST_F(MainKeys, CharactersAndWheel) {
  MainOnChar('p');
  EXPECT_EQ(host.posted, std::vector<int>{IDM_PRT_WINDOW});
  MainOnWheel(-240);  // two notches towards the user: two stocks forward
  MainOnWheel(120);
  MainOnWheel(60);    // less than a notch does nothing
  EXPECT_EQ(g_stepped, (std::vector<int>{2, -1}));
}

TEST_F(MainKeys, AcceleratorRunsItsCommandOnce) {
  static int runs;
  runs = 0;
  RegisterCommand(IDM_ASHI_NEXT, [](int) { ++runs; });
  EXPECT_TRUE(MainOnAccelerator(VK_F12, false));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(MainOnAccelerator('Q', true));
  EXPECT_FALSE(MainOnAccelerator(VK_F12 - 10, false));
  ClearCommands();
}

}  // namespace
