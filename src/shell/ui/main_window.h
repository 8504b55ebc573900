// The main window "Kivora": menu bar, tool bar and the chart area. Its event handlers
// forward to the plain handler functions of the shell.
#pragma once

#include <QMainWindow>

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow();
  ~MainWindow() override;
  QWidget* ChartWidget() const { return chart_; }
  // Sets the check mark of a menu command.
  void SetMenuCheck(int id, bool checked);

 protected:
  void keyPressEvent(QKeyEvent*) override;
  void closeEvent(QCloseEvent*) override;
  void focusInEvent(QFocusEvent*) override;

 private:
  void BuildMenus();
  QWidget* chart_;
  bool ended_ = false;
};

// The main window (nullptr before it exists and after it is gone).
MainWindow* MainWnd();
