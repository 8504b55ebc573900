// The cross cursor on the chart window: the XOR cross-hair on the three colour schemes,
// the mouse driving it, the cross window's size and the command's check mark.
#include "chart/ui/cross_window.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "chart/chart_layout.h"
#include "chart/chart_settings.h"
#include "chart/cross_cursor.h"
#include "chart/ui/chart_fonts.h"
#include "chart/ui/chart_window.h"
#include "platform/qt/qt_codepage.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/ui/main_window.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

void UseScheme(int s) {
  for (const ClrEntry& e : ClrTable) *e.colour = e.scheme[s];
}

int ChangedPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

class CrossWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 300);
    ResetCross();
    CrossView = 0;
  }
  void TearDown() override {
    if (CrossWindowExists()) OnCommand(IDM_CROSS_CURSOR);
    ResetCross();
    UseScheme(0);
    CrossView = 1;
  }
  TempDir dir_;
};

TEST_F(CrossWindowTest, CrossHairShowsOnEverySchemeAndASecondDrawErasesIt) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ChartWidget* view = TheChartWidget();
  ASSERT_NE(view, nullptr);
  for (int s = 0; s < 3; ++s) {
    UseScheme(s);
    view->grab();
    QImage img = view->Image().copy();
    const QImage clean = img.copy();
    const int x = img.width() / 2, y = img.height() / 3;
    XorCrossHair(&img, x, y, true);
    // Half of each line's pixels change at least (dots or gaps), whatever the scheme.
    EXPECT_GT(ChangedPixels(clean, img), (img.width() + img.height() - 20) / 3) << "scheme " << s;
    int column = 0;  // the vertical line below the crossing: dots or gaps show
    for (int yy = y + 1; yy <= y + 6; ++yy) column += img.pixel(x, yy) != clean.pixel(x, yy);
    EXPECT_GE(column, 3) << "scheme " << s;
    XorCrossHair(&img, x, y, true);
    EXPECT_EQ(img, clean) << "scheme " << s;
    // Without the vertical line only the row changes.
    XorCrossHair(&img, x, y, false);
    for (int yy = 0; yy < img.height(); ++yy) {
      if (yy == y) continue;
      ASSERT_EQ(img.pixel(x, yy), clean.pixel(x, yy));
    }
  }
}

TEST_F(CrossWindowTest, CommandMouseAndWindow) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ChartWidget* view = TheChartWidget();
  ASSERT_NE(view, nullptr);
  UseScheme(1);  // the white scheme
  view->grab();
  const QImage clean = view->Image().copy();

  OnCommand(IDM_CROSS_CURSOR);
  ASSERT_NE(TheCrossWindow(), nullptr);
  EXPECT_EQ(CrossView, 1);
  EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 1);
  EXPECT_EQ(TheCrossWindow()->width(), CrossFontSize * 10);

  // The mouse over the last bar: the cross-hair lands in the image and the box lists it.
  const int bar = Metrics.DispEnd;
  const QPoint at(CentreX(Metrics, bar) + 1, Metrics.PriceBottom - 30);
  QMouseEvent move(QEvent::MouseMove, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(view, &move);
  EXPECT_EQ(CrossX(), Metrics.Spacing * (at.x() / Metrics.Spacing) + Metrics.Spacing / 2);
  EXPECT_GT(ChangedPixels(clean, view->Image()), 100);
  ASSERT_GT(nCrossLine, 5);
  EXPECT_STREQ(CrossLines[1].label, "始値");
  TheCrossWindow()->grab();
  EXPECT_EQ(static_cast<int>(TheCrossWindow()->ValueRects().size()), nCrossLine);

  // A repaint draws the chart afresh with the cross-hair at the same place.
  const QImage with_cross = view->Image().copy();
  view->grab();
  EXPECT_EQ(view->Image(), with_cross);

  // Off again: the window goes, the mark clears, the next paint has no cross-hair.
  OnCommand(IDM_CROSS_CURSOR);
  EXPECT_EQ(TheCrossWindow(), nullptr);
  EXPECT_EQ(CrossView, 0);
  EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 0);
  view->grab();
  EXPECT_EQ(view->Image(), clean);
}

// Every line of the box shows at every font size the settings offer: the box is as tall as
// the lines drawn at the font's own line height (which exceeds its pixel size), and stays on
// the screen.
TEST_F(CrossWindowTest, EveryLineShowsAtEveryFontSize) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ChartWidget* view = TheChartWidget();
  view->grab();
  const int saved = CrossFontSize;
  int bar = Metrics.DispEnd;
  for (int size : {CROSS_FONT_MIN, 12, 20, 48}) {
    CrossFontSize = size;
    OnCommand(IDM_CROSS_CURSOR);
    ASSERT_NE(TheCrossWindow(), nullptr) << size;
    const QPoint at(CentreX(Metrics, bar--) + 1, Metrics.PriceBottom - 30);  // a move to another bar each time
    QMouseEvent move(QEvent::MouseMove, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    CrossWindow* box = TheCrossWindow();
    box->grab();
    ASSERT_GT(nCrossLine, 5) << size;
    ASSERT_EQ(static_cast<int>(box->ValueRects().size()), nCrossLine) << size;
    const QFontMetrics fm(MakeChartFont(u"ＭＳ ゴシック"_qs, size));
    EXPECT_LE(box->ValueRects().back().top() + fm.height(), box->height() - 1) << size;
    const QRect room = box->screen()->availableGeometry();
    EXPECT_GE(box->y(), room.top()) << size;
    if (box->height() <= room.height()) EXPECT_LE(box->y() + box->height(), room.bottom() + 1) << size;
    OnCommand(IDM_CROSS_CURSOR);
  }
  CrossFontSize = saved;
}

// The price box's own menu switches the cross cursor off, which closes the box while its
// mouse handler still runs: a right click on the box, then the item chosen in the real menu
// by the mouse or by its key.
TEST_F(CrossWindowTest, ItsOwnMenuSwitchesTheCursorOff) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  struct Case {
    const char* how;
    bool by_key;
  };
  for (const Case& c : {Case{"mouse", false}, Case{"key Q", true}}) {
    SCOPED_TRACE(c.how);
    OnCommand(IDM_CROSS_CURSOR);
    QPointer<CrossWindow> box = TheCrossWindow();
    ASSERT_NE(box, nullptr);
    bool answered = false;
    // Runs inside the menu's own loop, once the menu stands.
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      ASSERT_EQ(menu->actions().size(), 1);
      QAction* item = menu->actions()[0];
      EXPECT_EQ(item->text(), u"十字カーソルを消去(&Q)"_qs);
      answered = true;
      if (c.by_key) QTest::keyClick(menu, Qt::Key_Q);
      else QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    });
    QTest::mousePress(box->windowHandle(), Qt::RightButton, {}, QPoint(10, 5));
    ASSERT_TRUE(answered);
    EXPECT_EQ(TheCrossWindow(), nullptr);
    EXPECT_EQ(CrossView, 0);
    EXPECT_EQ(CommandCheckState(IDM_CROSS_CURSOR), 0);
    EXPECT_TRUE(box.isNull() || !box->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
  }
}

}  // namespace

