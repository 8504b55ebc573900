// The main window "Kivora": menu bar, tool bar with the bar-period box, and the chart area.
// Its event handlers forward to the plain handler functions of the shell.
#pragma once

#include <QMainWindow>

class QComboBox;
class QMenu;
class QToolBar;

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow();
  ~MainWindow() override;
  QWidget* ChartWidget() const { return chart_; }
  // Replaces the chart area (the chart module installs its widget).
  void SetChartWidget(QWidget* chart);
  QMenu* FavoritesMenu() const { return favorites_menu_; }
  QComboBox* AshiBox() const { return ashi_box_; }
  QToolBar* ToolBar() const { return tool_bar_; }
  // The menu-bar action of a command, or nullptr.
  QAction* FindCommandAction(int id) const;
  // Removes a command's item from the menu bar (40133 outside the sample mode).
  void RemoveCommandItem(int id);
  // Brings check marks and greying of every item up to date with the program state.
  void RefreshCommandStates();
  // Replaces the favourites entries of the favourites menu by the current folder's.
  void RebuildFavouriteMenu();

 protected:
  void keyPressEvent(QKeyEvent*) override;
  void keyReleaseEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void closeEvent(QCloseEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  bool eventFilter(QObject*, QEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void RegisterWindowCommands();
  QWidget* chart_;
  QMenu* favorites_menu_ = nullptr;
  QComboBox* ashi_box_ = nullptr;
  QToolBar* tool_bar_ = nullptr;
  int minute_timer_ = 0;  // timer 3
  bool ended_ = false;
};

// The main window (nullptr before it exists and after it is gone).
MainWindow* MainWnd();
