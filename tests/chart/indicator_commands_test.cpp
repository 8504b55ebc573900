// The indicator and overlay commands: toggles with their check marks, the Ichimoku rule
// (Bollinger off and greyed, the scroll range with the cloud's lead), stepping and
// 出来高に戻す.
#include "chart/indicator_commands.h"

#include <gtest/gtest.h>

#include "chart/chart_commands.h"
#include "chart/chart_repaint.h"
#include "chart/overlays/ichimoku.h"
#include "chart/stock_step.h"
#include "chart/view_shihyo.h"
#include "chart_fixture.h"
#include "shell/main_keys.h"
#include "support/scripted_host.h"

namespace {

class IndicatorCommands : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    RegisterChartCommands();
    World(300, 1);
    Show(0, 0, 299);
    ChartOnStartup();
  }
  void TearDown() override {
    ChartTest::TearDown();
  }
  static bool Run(int id) {
    const int before = ChartRepaintRequests();
    EXPECT_TRUE(OnCommand(id)) << id;
    return ChartRepaintRequests() != before;
  }
  static std::vector<int> Panes() { return std::vector<int>(ViewShihyo, ViewShihyo + nViewShihyo); }
};

TEST_F(IndicatorCommands, TogglesSetFlagsMarksAndPaneOrder) {
  struct Case {
    int id;
    int* flag;
    int kind;  // 0 for an overlay
  } cases[] = {
      {IDM_VIEW_PSYCHO, &fViewPsycho, 1}, {IDM_VIEW_RCI, &fViewRCI, 2},    {IDM_VIEW_RSI, &fViewRSI, 3},
      {IDM_VIEW_DMI, &fViewDMI, 4},       {IDM_VIEW_VR, &fViewVR, 5},      {IDM_VIEW_STOC, &fViewStoc, 6},
      {IDM_VIEW_KAIRI, &fViewKairi, 7},   {IDM_VIEW_MACD, &fViewMACD, 8},  {IDM_KAKAKUTAI, &fViewKakakutai, 0},
      {IDM_BOLLINGER, &fViewBollinger, 0}, {IDM_PARABOLIC, &fViewParabolic, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandCheckState(c.id), 0) << c.id;
    EXPECT_TRUE(Run(c.id)) << c.id;
    EXPECT_EQ(*c.flag, 1) << c.id;
    EXPECT_EQ(CommandCheckState(c.id), 1) << c.id;
    if (c.kind) {
      ASSERT_EQ(nViewShihyo, 1) << c.id;
      EXPECT_EQ(ViewShihyo[0], c.kind);
    }
    EXPECT_TRUE(Run(c.id));
    EXPECT_EQ(*c.flag, 0) << c.id;
    EXPECT_EQ(CommandCheckState(c.id), 0) << c.id;
    EXPECT_EQ(nViewShihyo, 0);
  }
  // Switched on RSI, MACD, RCI: the panes in that order; RSI off leaves MACD, RCI.
  Run(IDM_VIEW_RSI);
  Run(IDM_VIEW_MACD);
  Run(IDM_VIEW_RCI);
  EXPECT_EQ(Panes(), (std::vector<int>{3, 8, 2}));
  Run(IDM_VIEW_RSI);
  EXPECT_EQ(Panes(), (std::vector<int>{8, 2}));
  // F11 from MACD, RCI: 8 + 1 is past the end, the volume pane alone.
  EXPECT_TRUE(Run(IDM_SHIHYO_NEXT));
  EXPECT_EQ(nViewShihyo, 0);
  EXPECT_EQ(fViewMACD + fViewRCI, 0);
  Run(IDM_SHIHYO_NEXT);
  EXPECT_EQ(Panes(), (std::vector<int>{1}));
  Run(IDM_SHIHYO_PREV);
  EXPECT_EQ(nViewShihyo, 0);
  Run(IDM_SHIHYO_PREV);
  EXPECT_EQ(Panes(), (std::vector<int>{8}));
  EXPECT_EQ(CommandCheckState(IDM_VIEW_MACD), 1);
}

TEST_F(IndicatorCommands, IchimokuSwitchesBollingerOffGreysItAndReRanges) {
  Run(IDM_BOLLINGER);
  ASSERT_EQ(fViewBollinger, 1);
  const int max_before = ChartScrollBar.max;
  EXPECT_TRUE(Run(IDM_ICHIMOKU));
  EXPECT_EQ(fViewIchimoku, 1);
  EXPECT_EQ(fViewBollinger, 0);
  EXPECT_EQ(CommandCheckState(IDM_ICHIMOKU), 1);
  EXPECT_FALSE(CommandEnabled(IDM_BOLLINGER));
  EXPECT_EQ(ChartScrollBar.max, max_before + 25);  // base period 26: 25 slots for the cloud
  // Ctrl+9 while greyed changes nothing.
  Run(IDM_BOLLINGER);
  EXPECT_EQ(fViewBollinger, 0);
  // The longest base period of the settings gets its whole room, as any other.
  Ichimoku[0] = SHIHYO_WINDOW_MAX;
  ReRangeChart();
  EXPECT_EQ(ChartScrollBar.max, max_before + SHIHYO_WINDOW_MAX - 1);
  Ichimoku[0] = 26;
  Run(IDM_ICHIMOKU);
  EXPECT_EQ(fViewIchimoku, 0);
  EXPECT_TRUE(CommandEnabled(IDM_BOLLINGER));
  EXPECT_EQ(ChartScrollBar.max, max_before);
}

TEST_F(IndicatorCommands, BackToVolumeClearsEverythingAndPostsIchimoku) {
  ScriptedHost host;
  for (int id : {IDM_VIEW_RSI, IDM_VIEW_MACD, IDM_VIEW_DMI, IDM_KAKAKUTAI, IDM_PARABOLIC}) Run(id);
  Run(IDM_ICHIMOKU);
  DekiHabaRitu = 50;
  EXPECT_TRUE(Run(IDM_BACK_TO_VOLUME));
  EXPECT_EQ(nViewShihyo, 0);
  EXPECT_EQ(fViewRSI + fViewMACD + fViewDMI + fViewKakakutai + fViewParabolic, 0);
  EXPECT_EQ(DekiHabaRitu, 20);
  // Ichimoku goes off through the posted command, which enables the Bollinger item again.
  ASSERT_EQ(host.posted, (std::vector<int>{IDM_ICHIMOKU}));
  EXPECT_EQ(fViewIchimoku, 1);
  EXPECT_FALSE(CommandEnabled(IDM_BOLLINGER));
  host.RunPosted();
  EXPECT_EQ(fViewIchimoku, 0);
  EXPECT_TRUE(CommandEnabled(IDM_BOLLINGER));
  Run(IDM_BOLLINGER);
  EXPECT_EQ(fViewBollinger, 1);
  // Without Ichimoku nothing is posted.
  host.posted.clear();
  Run(IDM_BACK_TO_VOLUME);
  EXPECT_TRUE(host.posted.empty());
  EXPECT_EQ(fViewBollinger, 0);
}

}  // namespace
