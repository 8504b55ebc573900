#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include "chart/bar_period.h"
#include "chart/chart_commands.h"
#include "chart/chart_repaint.h"
#include "chart/chart_view.h"
#include "chart/ui/chart_window.h"
#include "chart/ui/company_window.h"
#include "chart/ui/cross_window.h"
#include "chart/ui/pnt_fgr_window.h"
#include "lists/favourites.h"
#include "lists/ui/list_windows.h"
#include "db/ui/maintenance_dialogs.h"
#include "lists/ui/screening_window.h"
#include "lists/ui/user_list_windows.h"
#include "net/ui/backfill_dialog.h"
#include "net/ui/database_build_dialog.h"
#include "net/ui/company_download_dialog.h"
#include "net/ui/count_down_dialog.h"
#include "net/ui/today_download_dialog.h"
#include "net/ui/yutai_window.h"
#include "platform/hooks.h"
#include "platform/qt/command_menus.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/window_in_use.h"
#include "platform/program_version.h"
#include "res/menus.h"
#include "res/toolbar.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "shell/main_keys.h"
#include "shell/shell_commands.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/update_command.h"
#include "db/database_file.h"
#include "platform/virtual_keys.h"
#include "shell/ui/instance_handoff.h"
#include "shell/ui/main_window_count.h"
#include "shell/ui/prt_window.h"
#include "shell/ui/settings_sheet.h"
#include "shell/ui/window_placement_qt.h"

namespace {

constexpr const char* FAVOURITE_CODE_PROPERTY = "favouriteCode";

MainWindow* g_main = nullptr;

QPixmap ToolBarPixmap(int image) {
  QImage img(TOOLBAR_IMAGE_W, TOOLBAR_IMAGE_H, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (int y = 0; y < TOOLBAR_IMAGE_H; ++y)
    for (int x = 0; x < TOOLBAR_IMAGE_W; ++x) {
      QColor c;
      switch (ToolBarImages[image][y][x]) {
        case 'k': c = Qt::black; break;
        case 'w': c = Qt::white; break;
        case 'g': c = QColor(128, 128, 128); break;
        case 'r': c = QColor(220, 0, 0); break;
        case 'b': c = QColor(0, 0, 200); break;
        case 'y': c = QColor(230, 180, 0); break;
        case 'G': c = QColor(0, 150, 0); break;
        default: continue;
      }
      img.setPixelColor(x, y, c);
    }
  return QPixmap::fromImage(img);
}

void ShowAboutBox() {
  QDialog dlg(g_main);
  dlg.setObjectName(u"ABOUT_MIRELO_DIALOG"_qs);
  dlg.setWindowTitle(u"Kivoraについて"_qs);
  auto* layout = new QVBoxLayout(&dlg);
  auto* version = new QLabel(FromCp932(PROGRAM_VERSION), &dlg);
  version->setObjectName(u"version"_qs);
  layout->addWidget(version);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
  QPushButton* web = buttons->addButton(u"Kivoraのページへ"_qs, QDialogButtonBox::ActionRole);
  QObject::connect(web, &QPushButton::clicked, &dlg, [] { OnCommand(IDM_WEB_PAGE); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  layout->addWidget(buttons);
  dlg.exec();
}

}  // namespace

MainWindow* MainWnd() { return g_main; }

MainWindow::MainWindow() {
  g_main = this;
  setObjectName(u"MIRELO"_qs);
  setWindowTitle(u"Kivora"_qs);
  move(0, 20);
  resize(760, 580);
  chart_ = new QWidget(this);
  chart_->setObjectName(u"DrawWndClass"_qs);
  setCentralWidget(chart_);
  setFocusPolicy(Qt::StrongFocus);
  BuildMenus();
  BuildToolBar();
  RegisterShellCommands();
  RegisterUpdateCommands();
  InstallTodayDownloadDialog(this);
  InstallBackfillDialog(this);
  InstallDbMakeDialog(this);
  InstallCountDownDialog(this);
  InstallMaintenanceDialogs(this);
  RegisterWindowCommands();
  SetChartWidget(CreateChartArea(this));
  SetCrossWindowPlacement({[](QWidget* w) { ApplyWindowPosition(w, CrossWinPos); },
                           [](const QWidget* w) {
                             if (!ReadWindowPlacement(w, CrossWinPos)) PRT("Cross画面配置位置取得失敗\n");
                           }});
  RegisterChartCommands();
  RegisterSettingsCommand(this);
  RegisterListWindows(this, {[](QWidget* w, int which) { ApplyWindowPlacement(w, which ? JuniWinPos : KensakuWinPos); },
                             [](const QWidget* w, int which) { ReadWindowPlacement(w, which ? JuniWinPos : KensakuWinPos); }});
  RegisterUserListWindows(
      this, {[](QWidget* w, int which) { ApplyWindowPlacement(w, which == PLACE_FAVOURITES ? FavoriteWinPos : RirekiWinPos); },
             [](const QWidget* w, int which) { ReadWindowPlacement(w, which == PLACE_FAVOURITES ? FavoriteWinPos : RirekiWinPos); }});
  TyumokuMenuHook = [] {
    if (g_main) g_main->RebuildFavouriteMenu();
  };
  RegisterScreeningWindow(this, {[](QWidget* w) { ApplyWindowPlacement(w, ScreWinPos); },
                                 [](const QWidget* w) { ReadWindowPlacement(w, ScreWinPos); }});
  RegisterCompanyWindow(this, {[](QWidget* w) { ApplyWindowPlacement(w, FunWinPos); },
                              [](const QWidget* w) { ReadWindowPlacement(w, FunWinPos); }, CloseToolWindows,
                              [] { return ShowCompanyDownloadDialog(g_main); }});
  RegisterYutaiWindow(this, {[](QWidget* w) { ApplyWindowPlacement(w, YutaiWinPos); },
                            [](const QWidget* w) { ReadWindowPlacement(w, YutaiWinPos); }});
  RegisterToolWindowCloser(CloseYutaiWindow);
  RegisterPntFgrWindow(this, {[](QWidget* w) { return ApplyWindowPlacement(w, PntFgrWinPos); },
                              [](const QWidget* w) { return ReadWindowPlacement(w, PntFgrWinPos); }});
  AshiBoxSelectHook = [](int index) {
    if (g_main && g_main->AshiBox()) g_main->AshiBox()->setCurrentIndex(index);
  };
  // Accelerators come first, whichever window has the keyboard focus.
  qApp->installEventFilter(this);
  // The settings load places the window, the save reads its placement back.
  MainPlacementApply = [](const WinPlacement& p) { return ApplyWindowPlacement(g_main, p); };
  MainPlacementRead = [](WinPlacement& p) { return ReadWindowPlacement(g_main, p); };
  CountMainWindowsHook = CountMainWindows;
  MainOnCreate();
  RefreshCommandStates();
  minute_timer_ = startTimer(60000);
}

void MainWindow::timerEvent(QTimerEvent* e) {
  if (e->timerId() != minute_timer_) return QMainWindow::timerEvent(e);
  // An instance started beside a running one takes over the hand-off once that one ended.
  RetryListening();
  MainOnMinuteTimer();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  PrtWindowClosedHook = nullptr;
  AshiBoxSelectHook = nullptr;
  TyumokuMenuHook = nullptr;
  UnregisterUserListWindows();
  UnregisterUpdateFeatures();
  MainPlacementApply = nullptr;
  MainPlacementRead = nullptr;
  CountMainWindowsHook = nullptr;
  if (g_main == this) g_main = nullptr;
}

void MainWindow::SetChartWidget(QWidget* chart) {
  chart_ = chart;
  setCentralWidget(chart);
}

void MainWindow::BuildMenus() {
  for (int i = 0; i < MainMenuBarCount; ++i) {
    const MenuItemDef& d = MainMenuBar[i];
    QMenu* m = menuBar()->addMenu(FromCp932(d.text));
    AddMenuItems(m, d.submenu, d.submenu_count);
    if (i == FAVORITES_MENU_INDEX) favorites_menu_ = m;
  }
  connect(menuBar(), &QMenuBar::triggered, this, [this](QAction* a) {
    // A favourite carries its stock's code (any code, five characters too) beside the
    // command that selects by code.
    const QVariant code = a->property(FAVOURITE_CODE_PROPERTY);
    if (code.isValid()) OnCommand(IDM_SELECT_CODE, code.toInt());
    else if (int id = a->data().toInt()) OnCommand(id);
    RefreshCommandStates();
  });
  for (QMenu* m : menuBar()->findChildren<QMenu*>())
    connect(m, &QMenu::aboutToShow, this, &MainWindow::RefreshCommandStates);
}

void MainWindow::RebuildFavouriteMenu() {
  if (!favorites_menu_) return;
  for (QAction* a : favorites_menu_->actions())
    if (a->property(FAVOURITE_CODE_PROPERTY).isValid()) {
      favorites_menu_->removeAction(a);
      a->deleteLater();  // the rebuild may come from this very item
    }
  for (const auto& [code, name] : TyumokuMenuItems()) {
    QAction* a = favorites_menu_->addAction(FromCp932(name));
    a->setProperty(FAVOURITE_CODE_PROPERTY, code);
  }
}

void MainWindow::BuildToolBar() {
  tool_bar_ = addToolBar(u"ReBarWindow32"_qs);
  tool_bar_->setObjectName(u"ReBarWindow32"_qs);
  tool_bar_->setMovable(false);
  tool_bar_->setFloatable(false);
  tool_bar_->setIconSize(QSize(TOOLBAR_IMAGE_W, TOOLBAR_IMAGE_H));
  for (const ToolButtonDef& b : ToolBarButtons) {
    if (b.image < 0) {
      tool_bar_->addSeparator();
      continue;
    }
    QAction* a = tool_bar_->addAction(ToolBarPixmap(b.image), QString());
    a->setData(b.id);
    if (const char* tip = LoadStringEntry(b.id)) a->setToolTip(FromCp932(tip));
    connect(a, &QAction::triggered, this, [id = b.id] { OnCommand(id); });
  }
  ashi_box_ = new QComboBox(tool_bar_);
  ashi_box_->setObjectName(u"1044"_qs);
  for (int ashi = ASHI_DAILY; ashi <= ASHI_MONTHLY; ++ashi) ashi_box_->addItem(FromCp932(AshiName(ashi)));
  QFont f(u"ＭＳ 明朝"_qs);
  f.setPixelSize(16);
  f.setBold(true);
  ashi_box_->setFont(f);
  ashi_box_->setFixedWidth(60);
  ashi_box_->setFocusPolicy(Qt::NoFocus);
  tool_bar_->addWidget(ashi_box_);
  connect(ashi_box_, &QComboBox::activated, this, [this](int) {
    OnCommand(IDM_ASHI_BOX, ashi_box_->currentIndex() + 1);
    setFocus();
  });
}

void MainWindow::RegisterWindowCommands() {
  RegisterCommand(IDM_PRT_WINDOW, [](int) { TogglePrtWindow(g_main); });
  RegisterCommandCheck(IDM_PRT_WINDOW, [] { return OpenPrtWindow() != nullptr; });
  RegisterCommand(IDM_EXIT, [](int) {
    if (g_main) g_main->close();
  });
  RegisterCommand(IDM_ABOUT, [](int) { ShowAboutBox(); });
  PrtWindowClosedHook = [] {
    if (g_main) g_main->RefreshCommandStates();
  };
}

QAction* MainWindow::FindCommandAction(int id) const {
  // Items taken out of their menus wait for their deletion: they are no longer there.
  for (QAction* a : menuBar()->findChildren<QAction*>())
    if (a->data().toInt() == id && !a->associatedObjects().isEmpty()) return a;
  return nullptr;
}

void MainWindow::RemoveCommandItem(int id) {
  for (QMenu* m : menuBar()->findChildren<QMenu*>())
    for (QAction* a : m->actions())
      if (a->data().toInt() == id) {
        m->removeAction(a);
        a->deleteLater();  // the item may be the one being triggered
      }
}

void MainWindow::RefreshCommandStates() {
  // Building the regular database is offered only while the sample database is in use; the
  // build leaves the sample mode for good.
  if (!fSampleDB && FindCommandAction(IDM_BUILD_REGULAR_DB)) RemoveCommandItem(IDM_BUILD_REGULAR_DB);
  ApplyCommandStates(static_cast<QWidget*>(this));
}

bool MainWindow::eventFilter(QObject* obj, QEvent* ev) {
  // Every key event reaches a window object first, once; accelerators are looked up there.
  // A modal dialog or an open menu keeps its keys: accelerators belong to the main loop.
  if (ev->type() == QEvent::KeyPress && obj->isWindowType() && !QApplication::activeModalWidget() &&
      !QApplication::activePopupWidget()) {
    auto* ke = static_cast<QKeyEvent*>(ev);
    int vk = VirtualKeyOf(ke);
    // The command may close the window that has the key (Ctrl+I in the favourites).
    QWidget* target = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t->windowHandle() == obj) target = t;
    WindowInUse in_use(target);
    if (vk && MainOnAccelerator(vk, (ke->modifiers() & Qt::ControlModifier) != 0)) {
      RefreshCommandStates();
      return true;
    }
  }
  return QMainWindow::eventFilter(obj, ev);
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
  if (int vk = VirtualKeyOf(e)) MainOnKeyDown(vk);
  const QString text = e->text();
  if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F &&
      !(e->modifiers() & Qt::ControlModifier))
    MainOnChar(text[0].unicode());
}

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat())
    if (int vk = VirtualKeyOf(e)) MainOnKeyUp(vk);
}

void MainWindow::wheelEvent(QWheelEvent* e) { MainOnWheel(e->angleDelta().y()); }

void MainWindow::focusInEvent(QFocusEvent* e) {
  fMainActive = 1;
  QMainWindow::focusInEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (!ended_) {
    ended_ = true;
    if (minute_timer_) killTimer(minute_timer_);
    minute_timer_ = 0;
    // The cross window outlives the settings save: its position is taken now.
    if (CrossWindow* cross = TheCrossWindow()) ReadWindowPlacement(cross, CrossWinPos);
    MainOnDestroy();
    if (OpenPrtWindow()) delete OpenPrtWindow();
  }
  e->accept();
  QApplication::quit();
}
