// The point-and-figure / comparison window: opening, switching and closing by its two
// commands, following the chart, and what each mode draws.
#include "chart/ui/pnt_fgr_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/shown_stock.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/chart_window.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/virtual_keys.h"
#include "shell/main_keys.h"
#include "shell/settings.h"
#include "shell/ui/main_window.h"
#include "shell/update_command.h"
#include "shell/window_placement.h"
#include "support/db_fixture.h"
#include "support/prt_text.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

int CountPixels(const QImage& img, QRgb c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF)) ++n;
  return n;
}

// Paints the chart, lets the window follow it, and paints the window's drawing area.
QImage Follow(PntFgrWindow* w) {
  TheChartWidget()->grab();
  QApplication::processEvents();
  w->DrawArea()->grab();
  return w->DrawArea()->Image();
}

class PntFgrWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 300);
  }
  void TearDown() override {
    ResetAllSettings();
    ResetDatabaseState();
  }
  TempDir dir_;
  ScriptedHost host_;
};

TEST_F(PntFgrWindowTest, CommandsOpenSwitchAndCloseWithTheirCheckMarks) {
  MainWindow w;
  w.show();
  EXPECT_EQ(OpenPntFgrWindow(), nullptr);
  OnCommand(IDM_PNTFGR);
  ASSERT_NE(OpenPntFgrWindow(), nullptr);
  EXPECT_EQ(OpenPntFgrWindow()->Mode(), PNTFGR_MODE_FIGURE);
  EXPECT_EQ(OpenPntFgrWindow()->windowTitle(), u"Point&Figure"_qs);
  EXPECT_EQ(CommandCheckState(IDM_PNTFGR), 1);
  EXPECT_EQ(CommandCheckState(IDM_COMPARE), 0);
  // The same command again closes it.
  OnCommand(IDM_PNTFGR);
  EXPECT_EQ(OpenPntFgrWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_PNTFGR), 0);
  // The other command while it is open reopens it in the other mode.
  OnCommand(IDM_PNTFGR);
  OnCommand(IDM_COMPARE);
  ASSERT_NE(OpenPntFgrWindow(), nullptr);
  EXPECT_EQ(OpenPntFgrWindow()->Mode(), PNTFGR_MODE_COMPARE);
  EXPECT_EQ(CommandCheckState(IDM_PNTFGR), 0);
  EXPECT_EQ(CommandCheckState(IDM_COMPARE), 1);
  EXPECT_TRUE(OpenPntFgrWindow()->windowTitle().startsWith(u"チャートの比較（対数表示）"_qs));
  // Its placement is kept when it closes, and the commands that change prices close it.
  OpenPntFgrWindow()->move(210, 130);
  OpenPntFgrWindow()->resize(640, 480);
  CloseToolWindows();
  EXPECT_EQ(OpenPntFgrWindow(), nullptr);
  EXPECT_EQ(PntFgrWinPos.left, 210);
  EXPECT_EQ(PntFgrWinPos.bottom - PntFgrWinPos.top, 480);
  OnCommand(IDM_COMPARE);
  ASSERT_NE(OpenPntFgrWindow(), nullptr);
  EXPECT_EQ(OpenPntFgrWindow()->size(), QSize(640, 480));
  EXPECT_EQ(OpenPntFgrWindow()->DrawArea()->geometry(), QRect(0, 60, 640, 420));
  w.close();
  EXPECT_EQ(OpenPntFgrWindow(), nullptr);
}

TEST_F(PntFgrWindowTest, FigureFollowsTheChartAndTheChoices) {
  MainWindow w;
  w.show();
  PntFgr[0] = 9;  // out of range in memory: taken as the last box size
  PntFgr[1] = 0;
  OnCommand(IDM_PNTFGR);
  PntFgrWindow* pf = OpenPntFgrWindow();
  ASSERT_NE(pf, nullptr);
  pf->resize(500, 500);
  EXPECT_EQ(pf->BoxList()->currentIndex(), 4);
  // The fixture's closes rise every day: a column of crosses, no circles.
  QImage img = Follow(pf);
  const QRgb cross = PixelOf(Clr_PF_BATSU), circle = PixelOf(Clr_PF_MARU);
  EXPECT_GT(CountPixels(img, cross), 0);
  EXPECT_EQ(CountPixels(img, circle), 0);
  EXPECT_GT(CountPixels(img, qRgb(0, 0, 255)), 0);  // the dotted price grid
  // A 10 % box over the shown closes holds less than three boxes: no column at all.
  pf->BoxList()->setCurrentIndex(0);
  EXPECT_EQ(PntFgr[0], 0);
  pf->DrawArea()->grab();
  EXPECT_EQ(CountPixels(pf->DrawArea()->Image(), cross), 0);
  // Triangles in place of crosses; the figure follows the chart's scrolling.
  pf->BoxList()->setCurrentIndex(4);
  pf->StyleList()->setCurrentIndex(1);
  EXPECT_EQ(PntFgr[1], 1);
  const QImage at_end = Follow(pf);
  EXPECT_GT(CountPixels(at_end, cross), 0);
  MainOnKeyDown(VK_HOME);
  const QImage at_start = Follow(pf);
  EXPECT_NE(at_start, at_end);
  EXPECT_LT(ChartSeries.DispEnd, 299);
  OnCommand(IDM_PNTFGR);
}

TEST_F(PntFgrWindowTest, ComparisonLinesInputsAndSimilarityLists) {
  CompareCheck[0] = 0;
  MainWindow w;
  w.show();
  for (int& c : CompareCheck) c = 0;
  CompareCode[0] = FixtureCode(1);
  CompareCode[1] = 9999;  // no such stock
  OnCommand(IDM_COMPARE);
  PntFgrWindow* cw = OpenPntFgrWindow();
  ASSERT_NE(cw, nullptr);
  cw->resize(800, 500);
  QImage img = Follow(cw);
  // Only the chart's stock: one blue line; the solid 100 % line.
  EXPECT_GT(CountPixels(img, qRgb(0, 0, 255)), 0);
  EXPECT_EQ(CountPixels(img, qRgb(255, 0, 0)), 0);
  EXPECT_EQ(cw->CodeEdit(0)->text(), u"7001"_qs);
  EXPECT_EQ(cw->CodeEdit(1)->text(), u"0"_qs);  // the unknown code is replaced
  EXPECT_TRUE(PrtHas("銘柄コードなし"));
  EXPECT_EQ(CompareCode[1], 0);

  // Ticking the first box adds the red line of the typed code.
  cw->Check(0)->click();
  EXPECT_EQ(CompareCheck[0], 1);
  EXPECT_EQ(cw->SlotStocks()[1], 1);
  cw->DrawArea()->grab();
  EXPECT_GT(CountPixels(cw->DrawArea()->Image(), qRgb(255, 0, 0)), 0);

  // The daily similarity list holds the other stocks with their stock numbers; the two
  // longer lists are empty on a database shorter than 1001 days.
  QComboBox* daily = cw->SimilarList(0);
  ASSERT_EQ(daily->count(), 2);
  EXPECT_EQ(cw->SimilarStocksOf(0), (std::vector<int>{1, 2}));
  EXPECT_EQ(daily->itemData(1).toInt(), 2);
  EXPECT_EQ(cw->SimilarList(1)->count(), 0);
  daily->setCurrentIndex(1);
  cw->Check(3)->click();
  EXPECT_EQ(cw->SlotStocks()[4], 2);
  // The selection is kept when the chart repaints and the lists are rebuilt.
  Follow(cw);
  EXPECT_EQ(daily->currentIndex(), 1);
  EXPECT_EQ(cw->SlotStocks()[4], 2);
  // The chart's display series is still the chart's own stock's.
  EXPECT_EQ(ChartRecordCode, FixtureCode(0));
  EXPECT_EQ(DispNum, 0);
  OnCommand(IDM_COMPARE);
}

}  // namespace
