// The chart's commands, scrolling and re-ranging, stock stepping, the indicator pane list
// and the value-tip timer.
#include "chart/chart_view.h"

#include <gtest/gtest.h>

#include "chart/chart_commands.h"
#include "chart/chart_repaint.h"
#include "chart/stock_step.h"
#include "chart/view_shihyo.h"
#include "chart_fixture.h"
#include "platform/command_ids.h"
#include "shell/main_keys.h"
#include "platform/hooks.h"
#include "platform/virtual_keys.h"

namespace {

class ChartCommands : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    RegisterChartCommands();
  }
  void TearDown() override {
    ChartTest::TearDown();
  }
  // Runs a command and tells whether it asked for a repaint.
  static bool Run(int id, long param = 0) {
    const int before = ChartRepaintRequests();
    EXPECT_TRUE(OnCommand(id, param)) << id;
    return ChartRepaintRequests() != before;
  }
};

TEST_F(ChartCommands, BarPeriods) {
  World(300, 1);
  Show(0, 0, 299);
  ChartOnStartup();
  EXPECT_TRUE(Run(IDM_ASHI_WEEKLY));
  EXPECT_EQ(AshiFlag, 2);
  EXPECT_TRUE(Run(IDM_ASHI_NEXT));
  EXPECT_EQ(AshiFlag, 3);
  Run(IDM_ASHI_NEXT);  // F12 from monthly bars wraps to daily
  EXPECT_EQ(AshiFlag, 1);
  Run(IDM_ASHI_MONTHLY);
  Run(IDM_ASHI_DAILY_KEY);
  EXPECT_EQ(AshiFlag, 1);
  Run(IDM_ASHI_BOX, 2);  // the bar-period box passes its entry + 1
  EXPECT_EQ(AshiFlag, 2);
  AshiFlag = 7;  // a damaged settings file
  Run(IDM_ASHI_NEXT);
  EXPECT_EQ(AshiFlag, 1);
}

TEST_F(ChartCommands, SpacingStopsAtTheTableEnds) {
  ChartOnStartup();
  EXPECT_EQ(CurrentSpacing(), 12);
  EXPECT_FALSE(Run(IDM_SPACING_WIDER));  // F10 at 12: no change, no repaint
  EXPECT_TRUE(Run(IDM_SPACING_NARROWER));
  EXPECT_EQ(CurrentSpacing(), 10);
  EXPECT_EQ(CandleHaba[0], 10);  // saved as the period's spacing
  for (int i = 0; i < 3; ++i) Run(IDM_SPACING_NARROWER);
  EXPECT_EQ(CurrentSpacing(), 4);
  EXPECT_FALSE(Run(IDM_SPACING_NARROWER));  // F9 at 4
  AshiFlag = 2;
  EXPECT_EQ(CurrentSpacing(), 8);  // each period keeps its own
}

TEST_F(ChartCommands, VolumeShareAndHighLowMarks) {
  const int cycle[] = {30, 40, 50, 60, 20};
  for (int v : cycle) {
    EXPECT_TRUE(Run(IDM_VOLUME_SHARE));
    EXPECT_EQ(DekiHabaRitu, v);
  }
  DekiHabaRitu = 25;  // from a hand-edited file: stays
  Run(IDM_VOLUME_SHARE);
  EXPECT_EQ(DekiHabaRitu, 25);
  EXPECT_EQ(CommandCheckState(IDM_HIGH_LOW_MARK), 1);
  EXPECT_TRUE(Run(IDM_HIGH_LOW_MARK));
  EXPECT_EQ(fHighLowMark, 0);
  EXPECT_EQ(CommandCheckState(IDM_HIGH_LOW_MARK), 0);
}

TEST_F(ChartCommands, StartupScrollsEveryPeriodToItsLastBar) {
  World(300, 1);
  Show(0, 0, 299);
  CandleHaba[0] = 10, CandleHaba[1] = 4, CandleHaba[2] = 12;
  static int selected = -1;
  AshiFlag = 2;
  AshiBoxSelectHook = [](int i) { selected = i; };
  ChartOnStartup();
  EXPECT_EQ(selected, 1);  // the bar-period box shows the period
  EXPECT_EQ(ScrollPos[0], 299);
  EXPECT_EQ(ScrollPos[1], LastWeek);
  EXPECT_EQ(ScrollPos[2], MonthNum - 1);
  EXPECT_EQ(HabaIndex[0], 3);
  EXPECT_EQ(HabaIndex[1], 0);
  EXPECT_EQ(HabaIndex[2], 4);
  AshiBoxSelectHook = nullptr;
}

struct ScrollCase {
  int code, thumb;
  int expected;
};

TEST_F(ChartCommands, ScrollCodesAndKeys) {
  World(300, 1);
  Show(0, 50, 280);  // data on days 50 ... 280
  nDispBar = 40;     // min = 50 + 40 - 1 = 89, max = 280
  const ScrollCase cases[] = {
      {SCROLL_LINE_LEFT, 0, 199},  {VK_LEFT, 0, 199},     {SCROLL_LINE_RIGHT, 0, 201},
      {VK_RIGHT, 0, 201},          {SCROLL_PAGE_LEFT, 0, 180}, {VK_PRIOR, 0, 180},
      {VK_UP, 0, 180},             {SCROLL_PAGE_RIGHT, 0, 220}, {VK_NEXT, 0, 220},
      {VK_DOWN, 0, 220},           {SCROLL_THUMB, 150, 150}, {SCROLL_THUMB, 10, 89},
      {VK_END, 0, 280},            {VK_HOME, 0, 89},      {5, 0, 200},
      {VK_SHIFT, 0, 200},
  };
  for (const ScrollCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code);
    ScrollPos[0] = 200;
    ChartScroll(c.code, c.thumb);
    EXPECT_EQ(ScrollPos[0], c.expected);
    EXPECT_EQ(ChartScrollBar.min, 89);
    EXPECT_EQ(ChartScrollBar.max, 280);
    EXPECT_EQ(ChartScrollBar.pos, c.expected);
  }
  // The keys of the main window reach the same scrolling.
  ScrollPos[0] = 200;
  MainOnKeyDown(VK_END);
  EXPECT_EQ(ScrollPos[0], 280);
  // An unchanged position does not repaint.
  const int before = ChartRepaintRequests();
  ChartScroll(VK_END);
  EXPECT_EQ(ChartRepaintRequests(), before);
}

TEST_F(ChartCommands, ScrollRangeOfAShortStockAndWithIchimoku) {
  World(300, 1);
  Show(0, 270, 280);
  nDispBar = 40;  // min 309 beyond max 280: the bar's range keeps one step
  ScrollPos[0] = 275;
  ChartScroll(VK_HOME);
  EXPECT_EQ(ScrollPos[0], 280);
  EXPECT_EQ(ChartScrollBar.min, 279);
  EXPECT_EQ(ChartScrollBar.max, 280);

  // With Ichimoku (base period 26) End goes 25 bars beyond the last bar, and re-ranging
  // puts the position at the calendar's end + 25.
  Show(0, 50, 280);
  fViewIchimoku = 1;
  ChartScroll(VK_END);
  EXPECT_EQ(ScrollPos[0], 305);
  ReRangeChart();
  EXPECT_EQ(ScrollPos[0], 299 + 25);
  fViewIchimoku = 0;
  ReRangeChart();
  EXPECT_EQ(ScrollPos[0], 299);
}

TEST_F(ChartCommands, StockWithoutBarsKeepsTheScrollPosition) {
  World(300, 1);
  Show(0, 0, 0, FLAG_NO_PRICES);
  ScrollPos[0] = 299;
  ChartScroll(VK_HOME);
  EXPECT_EQ(ScrollPos[0], 299);
}

class StockStepping : public ChartCommands {};

TEST_F(StockStepping, StepsInCodeOrderAndClamps) {
  World(10, 30);
  Run(IDM_NEXT_STOCK);
  EXPECT_EQ(DispNum, 1);
  Run(IDM_STEP_FORWARD_10);
  EXPECT_EQ(DispNum, 11);
  Run(IDM_STEP_BACK_10);
  Run(IDM_PREV_STOCK);
  EXPECT_EQ(DispNum, 0);
  EXPECT_FALSE(Run(IDM_PREV_STOCK));  // already first: nothing happens
  EXPECT_TRUE(Run(IDM_STEP_FORWARD_200));
  EXPECT_EQ(DispNum, 29);
  EXPECT_FALSE(Run(IDM_NEXT_STOCK));
  Run(IDM_STEP_BACK_200);
  EXPECT_EQ(DispNum, 0);
}

TEST_F(StockStepping, FollowsCodeOrderNotStockNumbers) {
  World(10, 3);
  fundamental[0].code = 9000;  // stock 0 sorts last
  MakeCodeOrder();
  DispNum = 1;
  StepStock(1);
  EXPECT_EQ(DispNum, 2);
  StepStock(1);
  EXPECT_EQ(DispNum, 0);
}

TEST_F(StockStepping, EmptyTableDoesNothing) {
  LastKabu = 0;
  DispNum = 0;
  const int before = ChartRepaintRequests();
  Run(IDM_NEXT_STOCK);
  Run(IDM_STEP_BACK_200);
  MainOnWheel(-240);
  EXPECT_EQ(DispNum, 0);
  EXPECT_EQ(ChartRepaintRequests(), before);
}

TEST_F(StockStepping, MarketFilterSkipsAndStopsAtTheEnd) {
  World(10, 6);
  fundamental[1].market = 5;
  fundamental[2].market = 0;  // market 0 always passes
  fundamental[4].market = 5;
  fundamental[5].market = 5;
  ZengoShijou = 1;
  Run(IDM_NEXT_STOCK);
  EXPECT_EQ(DispNum, 2);
  Run(IDM_NEXT_STOCK);
  EXPECT_EQ(DispNum, 3);
  // Past the last stock that passes: the chart stays.
  EXPECT_FALSE(Run(IDM_NEXT_STOCK));
  EXPECT_EQ(DispNum, 3);
  Run(IDM_PREV_STOCK);
  EXPECT_EQ(DispNum, 2);
  Run(IDM_PREV_STOCK);
  EXPECT_EQ(DispNum, 0);
}

TEST_F(StockStepping, MarketFilterTable) {
  World(10, 1);
  const struct {
    int filter, market;
    bool passes;
  } cases[] = {{0, 7, true},  {1, 1, true},  {1, 2, false}, {2, 3, true},  {2, 4, false},
               {3, 4, true},  {3, 5, false}, {4, 4, true},  {4, 1, false}, {9, 12, true},
               {1, 0, true}};
  for (auto& c : cases) {
    ZengoShijou = c.filter;
    fundamental[0].market = static_cast<int8_t>(c.market);
    EXPECT_EQ(PassesNavigationFilter(0), c.passes) << c.filter << "/" << c.market;
  }
}

TEST_F(StockStepping, StepsAgainAfterAStockWasChosenElsewhere) {
  World(10, 5);
  Run(IDM_NEXT_STOCK);  // to stock 1
  DispNum = 2;          // chosen by code, list or favourite
  Run(IDM_PREV_STOCK);  // back to stock 1, the one the last step chose
  EXPECT_EQ(DispNum, 1);
}

TEST_F(StockStepping, WheelStepsThroughTheCodeOrder) {
  World(10, 5);
  DispNum = 2;
  MainOnWheel(-120);  // one notch towards the user: forward
  EXPECT_EQ(DispNum, 3);
  MainOnWheel(240);
  EXPECT_EQ(DispNum, 1);
}

class ViewShihyoList : public ChartTest {};

TEST_F(ViewShihyoList, KeepsTheOrderOfSwitchingOn) {
  fViewRSI = 1;
  RebuildViewShihyo();
  fViewMACD = 1;
  RebuildViewShihyo();
  fViewRCI = 1;
  RebuildViewShihyo();
  ASSERT_EQ(nViewShihyo, 3);
  EXPECT_EQ(ViewShihyo[0], 3);
  EXPECT_EQ(ViewShihyo[1], 8);
  EXPECT_EQ(ViewShihyo[2], 2);
  fViewRSI = 0;
  RebuildViewShihyo();
  ASSERT_EQ(nViewShihyo, 2);
  EXPECT_EQ(ViewShihyo[0], 8);
  EXPECT_EQ(ViewShihyo[1], 2);
  EXPECT_EQ(ViewShihyo[2], 0);
  // F11 with MACD, RCI: 8 + 1 = 9, the volume pane alone.
  StepShihyo(1);
  EXPECT_EQ(nViewShihyo, 0);
  EXPECT_EQ(fViewMACD + fViewRCI, 0);
  // Backward from the volume pane gives MACD, forward from it the psychological line.
  StepShihyo(-1);
  ASSERT_EQ(nViewShihyo, 1);
  EXPECT_EQ(ViewShihyo[0], 8);
  StepShihyo(1);
  StepShihyo(1);
  ASSERT_EQ(nViewShihyo, 1);
  EXPECT_EQ(ViewShihyo[0], 1);
  EXPECT_EQ(fViewPsycho, 1);
}

class ValueTipTimerTest : public ChartTest {};

TEST_F(ValueTipTimerTest, ShowsAfterOneSecondOfRestAndFollowsTheMouse) {
  CrossView = 0;
  TipTick t{100, 200, false, true, true};
  int ticks = 0;
  while (ValueTipTimer(t) != TipAction::Show) ASSERT_LT(++ticks, 20);
  EXPECT_EQ(ticks, 10);  // the first tick notes the position, ten more of rest
  EXPECT_TRUE(ValueTipShown());
  EXPECT_EQ(ValueTipTimer(t), TipAction::None);  // shown and at rest: stays
  t.mouse_x = 110;
  EXPECT_EQ(ValueTipTimer(t), TipAction::Show);  // a shown tip follows at once
  // Another stock takes the tip down and starts the count again.
  DispNum = 3;
  EXPECT_EQ(ValueTipTimer(t), TipAction::None);
  EXPECT_FALSE(ValueTipShown());
  EXPECT_EQ(ValueTipRestCount(), 0);
}

TEST_F(ValueTipTimerTest, OutsideTheChartOrWithoutFocusNoTip) {
  CrossView = 0;
  TipTick t{5, 5, false, true, false};
  TipAction last = TipAction::None;
  for (int i = 0; i < 11; ++i) last = ValueTipTimer(t);
  EXPECT_EQ(last, TipAction::Destroy);
  // The cross cursor, a drag or a disabled tip stop the timer entirely.
  ResetValueTip();
  CrossView = 1;
  for (int i = 0; i < 30; ++i) EXPECT_EQ(ValueTipTimer(t), TipAction::None);
  EXPECT_EQ(ValueTipRestCount(), 0);
}

}  // namespace
