// The chart window ("DrawWndClass") inside the main window, with the main window's
// horizontal scroll bar below it: paints through its memory image, runs the 100 ms value
// tip timer, the rubber-band trend line and the right-button menu "VURNPOPUP".
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QWidget>

class QMenu;

class ChartView final : public QWidget {
  Q_OBJECT
 public:
  explicit ChartView(QWidget* parent);
  ~ChartView() override;
  // The memory image of the last paint.
  const QImage& Image() const { return image_; }
  // Fills a menu with the chart menu's items and their check marks and greying.
  static void BuildChartMenu(QMenu* menu);
  // Runs one tick of the value-tip timer (tests call it directly).
  void TipTimerTick();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void timerEvent(QTimerEvent*) override;
  bool eventFilter(QObject*, QEvent*) override;

 private:
  void XorTrendLine();
  void EndDrag(bool erase);
  bool ScaleHoldKeys() const;
  QImage image_;
  int tip_timer_ = 0;
  int last_disp_ = -1;
  int last_ashi_ = 0;
  bool trend_only_ = false;  // the next paint only shows the trend line's change
  int drag_ = 0;             // 0 none, 1 button down, 2 line drawn while dragging
  bool line_drawn_ = false;
  QPoint line_start_, line_end_;
  qint64 down_ms_ = 0;
  int held_scroll_keys_ = 0;  // scrolling keys held down
  bool ctrl_down_ = false;
};

// The horizontal scroll bar; the wheel over it steps stocks as over the rest of the window.
class ChartScrollBarWidget final : public QScrollBar {
  Q_OBJECT
 public:
  explicit ChartScrollBarWidget(QWidget* parent);

 protected:
  void wheelEvent(QWheelEvent* e) override;
};

// Creates the chart area: the chart window with its scroll bar below it, the scroll bar's
// hook installed.
QWidget* CreateChartArea(QWidget* parent);
// The chart window and its scroll bar (nullptr while none exists).
ChartView* TheChartView();
QScrollBar* TheChartScrollBar();
