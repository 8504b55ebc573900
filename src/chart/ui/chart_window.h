// The chart window ("DrawWndClass") inside the main window, with the main window's
// horizontal scroll bar below it: paints through its memory image, runs the 100 ms value
// tip timer, draws the rubber-band trend line and shows the right-button menu
// "VURNPOPUP". What it shows and how the mouse changes it are plain functions of the chart
// (chart_paint.h, trend_line.h, chart_view.h); the widget forwards its events to them.
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QWidget>

class QMenu;
struct TrendStrokes;

class ChartWidget final : public QWidget {
  Q_OBJECT
 public:
  explicit ChartWidget(QWidget* parent);
  ~ChartWidget() override;
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
  void DrawStrokes(const TrendStrokes& strokes);
  bool ScaleHoldKeys() const;
  QImage image_;
  int tip_timer_ = 0;
  bool trend_only_ = false;   // the next paint only shows the trend line's change
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
ChartWidget* TheChartWidget();
QScrollBar* TheChartScrollBar();
