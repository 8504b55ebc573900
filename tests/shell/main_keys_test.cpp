#include "shell/main_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_repaint.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/virtual_keys.h"
#include "chart/chart_fixture.h"
#include "support/scripted_host.h"

namespace {

// Ten stocks with 300 days each, the chart scrolled to the left so that the End key
// visibly scrolls it back.
class MainKeys : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    World(300, 10);
    Show(0, 0, 299);
    AshiFlag = 1;
    nDispBar = 40;
    ScrollPos[0] = 100;
  }
  ScriptedHost host;
};

TEST_F(MainKeys, KeysPostTheirCommands) {
  struct Case {
    int vk;
    std::vector<int> posted;
  } cases[] = {
      {VK_OEM_PLUS, {IDM_SPACING_WIDER}},    {VK_ADD, {IDM_SPACING_WIDER}},
      {VK_OEM_MINUS, {IDM_SPACING_NARROWER}}, {VK_SUBTRACT, {IDM_SPACING_NARROWER}},
      {VK_SPACE, {IDM_NEXT_STOCK}},          {VK_BACK, {IDM_PREV_STOCK}},
      {VK_END, {}},                          {'7', {}},
      {VK_NUMPAD0 + 3, {}},                  {VK_ESCAPE, {}},
  };
  for (const Case& c : cases) {
    host.posted.clear();
    ScrollPos[0] = 100;
    int repaints = ChartRepaintRequests();
    MainOnKeyDown(c.vk);
    EXPECT_EQ(host.posted, c.posted) << c.vk;
    EXPECT_EQ(ScrollPos[0] != 100, c.vk == VK_END) << c.vk;
    EXPECT_EQ(ChartRepaintRequests() - repaints, c.vk == VK_ESCAPE || c.vk == VK_END ? 1 : 0) << c.vk;
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
  EXPECT_EQ(DispNum, 2);
  MainOnWheel(120);
  EXPECT_EQ(DispNum, 1);
  MainOnWheel(60);    // less than a notch does nothing
  EXPECT_EQ(DispNum, 1);
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
