// The shown stock: every way of changing it goes through ShowStock, and the listeners hear
// of a change at the start of the next paint; the other steps at the start of a paint.
#include "chart/shown_stock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/chart_commands.h"
#include "chart/chart_paint.h"
#include "chart/chart_repaint.h"
#include "chart/stock_step.h"
#include "chart_fixture.h"
#include "platform/command_ids.h"
#include "shell/main_keys.h"
#include "shell/shell_commands.h"
#include "platform/hooks.h"

namespace {

std::string PrtText() {
  std::string s(64 * 1024, '\0');
  s.resize(PrtHistoryText(s.data(), s.size()));
  return s;
}

class ShownStock : public ChartTest {
 protected:
  void SetUp() override {
    ChartTest::SetUp();
    RegisterChartCommands();
    RegisterShellCommands();
    World(10, 30);
    handle_ = ShownStockChanged.Add([this](int n) { told_.push_back(n); });
  }
  std::vector<int> told_;
  int handle_ = 0;
};

TEST_F(ShownStock, EveryWayIsToldAtTheNextPaint) {
  BeginChartPaint();  // the first paint tells the stock shown at start
  EXPECT_EQ(told_, std::vector<int>{0});
  const struct {
    const char* what;
    void (*change)();
    int shown;
  } ways[] = {
      {"next stock", [] { OnCommand(IDM_NEXT_STOCK); }, 1},
      {"ten forward", [] { OnCommand(IDM_STEP_FORWARD_10); }, 11},
      {"wheel", [] { MainOnWheel(-120); }, 12},
      {"code", [] { SelectStockByCode(fundamental[20].code); }, 20},
      {"code from the menu", [] { OnCommand(IDM_SELECT_CODE, fundamental[5].code); }, 5},
      {"stock number", [] { ShowStock(7); }, 7},
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(w.what);
    told_.clear();
    const int repaints = ChartRepaintRequests();
    w.change();
    EXPECT_EQ(DispNum, w.shown);
    EXPECT_GT(ChartRepaintRequests(), repaints);
    EXPECT_TRUE(told_.empty());  // not before the paint
    BeginChartPaint();
    EXPECT_EQ(told_, std::vector<int>{w.shown});
    BeginChartPaint();  // the same stock again: nothing more
    EXPECT_EQ(told_, std::vector<int>{w.shown});
  }
}

TEST_F(ShownStock, StepsBetweenTwoPaintsAreToldOnceAndABackAndForthNotAtAll) {
  BeginChartPaint();
  told_.clear();
  OnCommand(IDM_NEXT_STOCK);
  OnCommand(IDM_NEXT_STOCK);
  BeginChartPaint();
  EXPECT_EQ(told_, std::vector<int>{2});
  OnCommand(IDM_NEXT_STOCK);
  OnCommand(IDM_PREV_STOCK);
  EXPECT_FALSE(TellShownStockChange());
  EXPECT_EQ(told_, std::vector<int>{2});
}

TEST_F(ShownStock, NumbersOutsideTheTableAreRefused) {
  ShowStock(3);
  for (int n : {-1, 30, MAX_KABU, 1 << 30}) {
    SCOPED_TRACE(n);
    ClearPrtHistory();
    const int repaints = ChartRepaintRequests();
    EXPECT_FALSE(ShowStock(n));
    EXPECT_EQ(DispNum, 3);
    EXPECT_EQ(ChartRepaintRequests(), repaints);
    EXPECT_NE(PrtText().find("銘柄番号が範囲外です"), std::string::npos);
  }
  EXPECT_FALSE(SelectStockByCode(1));  // no such code
  EXPECT_EQ(DispNum, 3);
  // Slot 0 is shown at start, before the stock table exists.
  LastKabu = 0;
  EXPECT_TRUE(ShowStock(0));
}

TEST_F(ShownStock, SeveralListenersInOrderAndOneMayLeaveWhileTold) {
  std::vector<std::string> calls;
  int second = 0;
  const int first = ShownStockChanged.Add([&](int) { calls.push_back("first"); });
  second = ShownStockChanged.Add([&](int) {
    calls.push_back("second");
    ShownStockChanged.Remove(second);  // a window closing itself
  });
  ShowStock(4);
  TellShownStockChange();
  EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(told_, std::vector<int>{4});
  calls.clear();
  ShownStockChanged.Remove(first);
  ShowStock(5);
  TellShownStockChange();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(told_, (std::vector<int>{4, 5}));
  ShownStockChanged.Remove(handle_);
  EXPECT_EQ(ShownStockChanged.Count(), 0);
}

class PaintSteps : public ChartTest {
 protected:
  void TearDown() override {
    AshiBoxSelectHook = nullptr;
    ChartPainted.Clear();
    ChartTest::TearDown();
  }
  static inline std::vector<int> selected;
};

TEST_F(PaintSteps, BarPeriodBoxSpacingAndThePaintedNotice) {
  selected.clear();
  AshiBoxSelectHook = [](int index) { selected.push_back(index); };
  int painted = 0;
  ChartPainted.Add([&] { ++painted; });
  HabaIndex[0] = 0;
  HabaIndex[1] = 9;  // out of the table: its last entry
  HabaIndex[2] = -3;
  EXPECT_TRUE(BeginChartPaint());
  EXPECT_EQ(selected, std::vector<int>{0});  // the first paint selects the box
  EXPECT_EQ(CandleHaba[0], 4);
  EXPECT_EQ(CandleHaba[1], 12);
  EXPECT_EQ(CandleHaba[2], 4);
  EndChartPaint();
  EXPECT_EQ(painted, 1);
  BeginChartPaint();
  EXPECT_EQ(selected, std::vector<int>{0});  // same period: the box is left alone
  AshiFlag = 3;
  BeginChartPaint();
  EXPECT_EQ(selected, (std::vector<int>{0, 2}));
  // A bar period from a damaged settings file paints nothing.
  ClearPrtHistory();
  AshiFlag = 7;
  EXPECT_FALSE(BeginChartPaint());
  EXPECT_EQ(selected, (std::vector<int>{0, 2}));
  EXPECT_NE(PrtText().find("old PaintScreen()!"), std::string::npos);
}

}  // namespace
