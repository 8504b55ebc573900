#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

#include "shell/command_dispatch.h"
#include "shell/command_ids.h"
#include "shell/diagnostics.h"
#include "shell/main_keys.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/ui/prt_window.h"
#include "shell/ui/window_placement_qt.h"

namespace {
MainWindow* g_main = nullptr;
}

MainWindow* MainWnd() { return g_main; }

MainWindow::MainWindow() {
  g_main = this;
  setObjectName(u"MIRELO"_qs);
  setWindowTitle(u"Kivora"_qs);
  move(0, 20);
  resize(760, 580);
  chart_ = new QWidget(this);
  chart_->setObjectName(u"DrawWndClass"_qs);
  chart_->setAutoFillBackground(true);
  setCentralWidget(chart_);
  setFocusPolicy(Qt::StrongFocus);
  BuildMenus();

  RegisterCommand(IDM_PRT_WINDOW, [](int) {
    TogglePrtWindow(g_main);
    if (g_main) g_main->SetMenuCheck(IDM_PRT_WINDOW, OpenPrtWindow() != nullptr);
  });
  RegisterCommand(IDM_PRT_COPY, [](int) { CopyPrtToClipboard(); });
  RegisterCommand(IDM_PRT_FILE, [](int) { TogglePrtFile(); });
  RegisterCommand(IDM_EXIT, [](int) {
    if (g_main) g_main->close();
  });
  PrtWindowClosedHook = [] {
    if (g_main) g_main->SetMenuCheck(IDM_PRT_WINDOW, false);
  };
  // The settings load places the window, the save reads its placement back.
  MainPlacementApply = [](const WinPlacement& p) { return ApplyWindowPlacement(g_main, p); };
  MainPlacementRead = [](WinPlacement& p) { return ReadWindowPlacement(g_main, p); };
  MainOnCreate();
}

MainWindow::~MainWindow() {
  PrtWindowClosedHook = nullptr;
  MainPlacementApply = nullptr;
  MainPlacementRead = nullptr;
  if (g_main == this) g_main = nullptr;
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(u"ファイル(&F)"_qs);
  QAction* exit = file->addAction(u"終了(&X)"_qs);
  exit->setData(IDM_EXIT);
  QMenu* tools = menuBar()->addMenu(u"ツール(&T)"_qs);
  QAction* prt = tools->addAction(u"情報表示(&P)"_qs);
  prt->setData(IDM_PRT_WINDOW);
  prt->setCheckable(true);
  for (QMenu* m : {file, tools})
    connect(m, &QMenu::triggered, this, [](QAction* a) {
      // The dispatch owns the check marks.
      if (a->isCheckable()) a->setChecked(!a->isChecked());
      OnCommand(a->data().toInt());
    });
}

void MainWindow::SetMenuCheck(int id, bool checked) {
  for (QAction* a : findChildren<QAction*>())
    if (a->data().toInt() == id && a->isCheckable()) a->setChecked(checked);
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
  const QString text = e->text();
  if (text.size() == 1 && text[0].unicode() < 0x80) {
    MainOnChar(text[0].unicode());
    return;
  }
  QMainWindow::keyPressEvent(e);
}

void MainWindow::focusInEvent(QFocusEvent* e) {
  fMainActive = 1;
  QMainWindow::focusInEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (!ended_) {
    ended_ = true;
    MainOnDestroy();
    if (OpenPrtWindow()) delete OpenPrtWindow();
  }
  e->accept();
  QApplication::quit();
}
