// The cross window ("CrossClass"): the price box beside the chart that lists the lines of
// the bar under the cross cursor. It is dragged by its client area, keeps handing the
// keyboard focus back to the main window, and its right-button menu "CROSS_POPUP"
// switches the cross cursor off. Also the XOR cross-hair on the chart image.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <vector>

class CrossWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit CrossWindow(QWidget* owner);
  ~CrossWindow() override;
  // The value rectangles of the last paint, one per line.
  const std::vector<QRect>& ValueRects() const { return value_rects_; }
  // Shows the right-button menu at a screen position; returns the chosen command or 0
  // (tests pass a chooser in place of the user).
  int PopupMenu(const QPoint& global);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  friend void InstallCrossWindow(QWidget*);
  int timer_ = 0;
  bool popup_open_ = false;
  QPoint drag_offset_;
  std::vector<QRect> value_rects_;
};

// How the shell restores the window's position (kept under "CrossWinPos") when it is made
// and reads it back when it goes.
struct CrossWindowPlacement {
  void (*apply)(QWidget* w) = nullptr;
  void (*read)(const QWidget* w) = nullptr;
};
void SetCrossWindowPlacement(CrossWindowPlacement placement);

// Registers the cross window with the cross cursor logic; the owner is the main window.
void InstallCrossWindow(QWidget* owner);
CrossWindow* TheCrossWindow();
// Draws the dotted cross-hair by XOR into the chart image: the vertical line from y = 20
// down, the horizontal line across. Drawing it twice restores the image.
void XorCrossHair(QImage* image, int x, int y, bool vertical);
