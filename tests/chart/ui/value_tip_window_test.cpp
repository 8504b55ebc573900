// The value tip over the painted chart: the hit test's five-pixel margin, the rows of the
// bar, keeping the tip on the same bar, and the modal pause of its timer. Also the cross
// window's position kept under CrossWinPos.
#include "chart/ui/value_tip_window.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>

#include "chart/chart_layout.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/ui/chart_fonts.h"
#include "chart/cross_cursor.h"
#include "chart/ui/chart_window.h"
#include "chart/ui/cross_window.h"
#include "db/price_model.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/number_text.h"
#include "shell/ui/main_window.h"
#include "shell/window_placement.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class ValueTipWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 300);
    ResetValueTip();
    ResetCross();
    CrossView = 0;
  }
  void TearDown() override {
    if (CrossWindowExists()) OnCommand(IDM_CROSS_CURSOR);
    DestroyValueTip();
    ResetValueTip();
    CrossView = 1;
  }
  TempDir dir_;
};

TEST_F(ValueTipWindowTest, ShowsTheBarsValuesWithinFivePixelsAndKeepsOnTheSameBar) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ChartWidget* view = TheChartWidget();
  ASSERT_NE(view, nullptr);
  view->grab();
  const int bar = Metrics.DispEnd;
  const DispSeries& s = ChartSeries;
  const int x = CentreX(Metrics, bar);
  const int top = PriceY(Metrics, s.high[bar]);

  ShowValueTip(x, top - 6, 300, 300);  // six pixels above the high: no tip
  EXPECT_EQ(TheValueTipWindow(), nullptr);
  ShowValueTip(x, top - 5, 300, 300);
  ValueTipWindow* tip = TheValueTipWindow();
  ASSERT_NE(tip, nullptr);
  const TipContent& c = tip->Content();
  EXPECT_EQ(std::string(c.row[TIP_DATE]), CrossDateText(bar));
  EXPECT_STREQ(c.row[TIP_OPEN], CommaAdd(s.open[bar]));
  EXPECT_STREQ(c.row[TIP_CLOSE], CommaAdd(s.close[bar]));
  EXPECT_STREQ(c.row[TIP_VOLUME], CommaAdd(s.deki[bar]));
  EXPECT_STREQ(c.row[TIP_AVE1], CommaAdd(static_cast<int64_t>(std::trunc(ChartLines[0].value[bar]))));
  // Every row shows: the date line and each value row at the font's own line height (more
  // than its pixel size) fit inside the border, and the tip is never shorter than the layout's.
  const QFontMetrics fm(MakeChartFont(u"ＭＳ Ｐゴシック"_qs, 12));
  const int rows = c.third ? 10 : 9;
  EXPECT_LE(fm.height() + 2 + rows * fm.height(), tip->height() - 1);
  EXPECT_GE(tip->height(), (ChartRecordFlag & FLAG_MARGIN) && DekidakaView == 1 ? 124 : 100);
  EXPECT_EQ(tip->width(), tip->ColumnWidth() + 6);
  EXPECT_EQ(tip->pos(), QPoint(300, 301));
  tip->grab();  // paints without fault

  // The same bar again leaves the tip as it is; the bar before replaces it.
  ShowValueTip(x, top, 310, 310);
  EXPECT_EQ(TheValueTipWindow(), tip);
  ShowValueTip(CentreX(Metrics, bar - 1), PriceY(Metrics, s.close[bar - 1]), 310, 310);
  ASSERT_NE(TheValueTipWindow(), nullptr);
  EXPECT_NE(std::string(TheValueTipWindow()->Content().row[TIP_DATE]), CrossDateText(bar));
  // Switching the cross cursor on takes the tip down.
  OnCommand(IDM_CROSS_CURSOR);
  EXPECT_EQ(TheValueTipWindow(), nullptr);
}

TEST_F(ValueTipWindowTest, TheTimerWaitsWhileAModalDialogIsOpenAndGoesOnAfter) {
  TipTick t{100, 200, false, true, true};
  t.modal = true;
  for (int i = 0; i < 30; ++i) ASSERT_EQ(ValueTipTimer(t), TipAction::None);
  t.modal = false;
  int ticks = 0;
  while (ValueTipTimer(t) != TipAction::Show) ASSERT_LT(++ticks, 20);

  // The chart window's own tick sees a modal dialog as such.
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ResetValueTip();
  QDialog modal(&w);
  int rest_during = -1;
  QTimer::singleShot(0, &modal, [&] {
    for (int i = 0; i < 15; ++i) TheChartWidget()->TipTimerTick();
    rest_during = ValueTipRestCount();
    modal.reject();
  });
  modal.exec();
  EXPECT_EQ(rest_during, 0);
}

TEST_F(ValueTipWindowTest, CrossWindowComesBackWhereItWasLeft) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  CrossWinPos.left = 140;
  CrossWinPos.top = 120;
  OnCommand(IDM_CROSS_CURSOR);
  ASSERT_NE(TheCrossWindow(), nullptr);
  EXPECT_EQ(TheCrossWindow()->pos(), QPoint(140, 120));
  TheCrossWindow()->move(210, 230);
  OnCommand(IDM_CROSS_CURSOR);  // closing it keeps its place
  EXPECT_EQ(CrossWinPos.left, 210);
  EXPECT_EQ(CrossWinPos.top, 230);
  // A place far off the screen is pulled back onto it.
  CrossWinPos.left = 100000;
  OnCommand(IDM_CROSS_CURSOR);
  ASSERT_NE(TheCrossWindow(), nullptr);
  EXPECT_LT(TheCrossWindow()->x(), 100000);
}

}  // namespace
