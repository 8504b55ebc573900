// The chart window inside the main window: start-up state, the scroll bar, the bar-period
// box, keys and the memory image.
#include "chart/ui/chart_window.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_layout.h"
#include "chart/chart_paint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/ui/chart_raster.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/main_keys.h"
#include "chart/shown_stock.h"
#include "shell/ui/main_window.h"
#include "platform/virtual_keys.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

TEST(ChartWindow, StartsAtTheLastBarAndFollowsCommands) {
  TempDir dir;
  ResetDatabaseState();
  WriteFixtureDatabase(3, 300);
  ScriptedHost host;
  MainWindow w;
  w.show();
  ChartWidget* view = TheChartWidget();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->objectName(), u"DrawWndClass"_qs);
  EXPECT_EQ(ScrollPos[0], 299);
  QScrollBar* bar = TheChartScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 299);
  EXPECT_EQ(bar->value(), 299);

  // A paint fixes the layout; the scroll range then starts at the first bar that fills it.
  QApplication::processEvents();
  view->grab();
  ASSERT_GT(Metrics.nDispBar, 0);
  EXPECT_EQ(Metrics.DispEnd, 299);
  EXPECT_EQ(view->Image().size(), view->size());
  MainOnKeyDown(VK_HOME);
  EXPECT_EQ(ScrollPos[0], Metrics.nDispBar - 1);
  EXPECT_EQ(bar->value(), Metrics.nDispBar - 1);
  EXPECT_EQ(bar->minimum(), Metrics.nDispBar - 1);
  // The scroll bar's arrow moves one bar.
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ScrollPos[0], Metrics.nDispBar);
  EXPECT_EQ(bar->value(), Metrics.nDispBar);
  MainOnKeyDown(VK_END);
  EXPECT_EQ(ScrollPos[0], 299);

  // Weekly bars from the menu: the bar-period box follows at the next paint.
  OnCommand(IDM_ASHI_WEEKLY);
  QApplication::processEvents();
  view->grab();
  EXPECT_EQ(w.AshiBox()->currentIndex(), 1);
  EXPECT_EQ(bar->maximum(), ScrollPos[1]);
  // Space steps to the next stock through the posted command; the tool windows hear of it
  // when the chart paints it, and of every paint.
  std::vector<int> told;
  int painted = 0;
  const int on_stock = ShownStockChanged.Add([&](int n) { told.push_back(n); });
  const int on_paint = ChartPainted.Add([&] { ++painted; });
  MainOnKeyDown(VK_SPACE);
  host.RunPosted();
  EXPECT_EQ(DispNum, 1);
  EXPECT_TRUE(told.empty());
  view->grab();
  EXPECT_EQ(told, std::vector<int>{1});
  EXPECT_EQ(painted, 1);
  ShownStockChanged.Remove(on_stock);
  ChartPainted.Remove(on_paint);
  AshiFlag = 1;
}

TEST(ChartWindow, TrendLineIsDrawnInXorAndAQuickClickLeavesNothing) {
  TempDir dir;
  ResetDatabaseState();
  WriteFixtureDatabase(3, 300);
  ScriptedHost host;
  MainWindow w;
  w.show();
  QApplication::processEvents();
  ChartWidget* view = TheChartWidget();
  view->grab();
  const QImage before = view->Image().copy();
  auto mouse = [view](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), view->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
  };
  mouse(QEvent::MouseButtonPress, {20, 100}, Qt::LeftButton);
  mouse(QEvent::MouseMove, {200, 150}, Qt::LeftButton);
  const QImage drawn = view->Image().copy();
  EXPECT_NE(drawn, before);
  const QRgb under = before.pixel(20, 100);
  EXPECT_EQ(drawn.pixel(20, 100), under ^ (PixelOf(Clr_TrendLine) & 0xFFFFFFu));
  mouse(QEvent::MouseMove, {300, 60}, Qt::LeftButton);  // the old line goes, the new one comes
  EXPECT_EQ(view->Image().pixel(200, 150), before.pixel(200, 150));
  mouse(QEvent::MouseButtonRelease, {300, 60}, Qt::NoButton);  // within 300 ms: erased
  EXPECT_EQ(view->Image(), before);
}

}  // namespace
