// The diagnostic window "情報表示": the PRT history in white fixed-pitch text on navy.
#pragma once

#include <QWidget>

class QScrollBar;

class PrtWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit PrtWindow(QWidget* owner);
  ~PrtWindow() override;
  int LineHeight() const { return line_height_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void contextMenuEvent(QContextMenuEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void MoveTop(int delta);
  QScrollBar* bar_;
  int line_height_ = 14;
};

// Creates the window beside the owner, or destroys it when open (command 109).
void TogglePrtWindow(QWidget* owner);
// The open diagnostic window, or nullptr.
PrtWindow* OpenPrtWindow();
