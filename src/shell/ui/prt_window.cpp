#include "shell/ui/prt_window.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include "platform/hooks.h"
#include "platform/qt/command_menus.h"
#include "platform/qt/qt_codepage.h"
#include "res/menus.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "shell/ui/main_window.h"


namespace {
QPointer<PrtWindow> g_prt_window;
constexpr int kPage = 33;
}  // namespace

PrtWindow::PrtWindow(QWidget* owner) : QWidget(nullptr, Qt::Window) {
  setObjectName(u"PrintClass"_qs);
  setWindowTitle(u"情報表示"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAutoFillBackground(false);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamily(u"IPAGothic"_qs);
  font.setPixelSize(14);
  font.setStyleStrategy(QFont::NoAntialias);
  setFont(font);
  QFontMetrics fm(font);
  line_height_ = std::max(8, fm.height() - 2);
  bar_ = new QScrollBar(Qt::Vertical, this);
  bar_->setRange(0, PRT_TOP_MAX);
  bar_->setPageStep(kPage);
  PrtTop = PRT_TOP_MAX;
  bar_->setValue(PrtTop);
  connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (v != PrtTop) MoveTop(v - PrtTop);
  });
  resize(800, 600);
  if (owner) move(owner->frameGeometry().right() + 1, owner->frameGeometry().top());
  PrtChangedHook = [] {
    if (g_prt_window) g_prt_window->update();
  };
}

PrtWindow::~PrtWindow() {
  PrtChangedHook = nullptr;
  if (PrtWindowClosedHook) PrtWindowClosedHook();
}

void PrtWindow::resizeEvent(QResizeEvent*) {
  int w = bar_->sizeHint().width();
  bar_->setGeometry(width() - w, 0, w, height());
}

void PrtWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 128));
  p.setPen(Qt::white);
  QFontMetrics fm(font());
  for (int slot = PrtTop; slot < PRT_LINES; ++slot) {
    int y = (slot - PrtTop) * line_height_;
    if (y > height()) break;
    p.drawText(0, y + fm.ascent(), FromCp932(PrtLines[slot]));
  }
}

void PrtWindow::MoveTop(int delta) {
  MovePrtTop(delta);
  bar_->blockSignals(true);
  bar_->setValue(PrtTop);
  bar_->blockSignals(false);
  update();
}

void PrtWindow::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_Up: MoveTop(-1); break;
    case Qt::Key_Down: MoveTop(1); break;
    case Qt::Key_PageUp: MoveTop(-kPage); break;
    case Qt::Key_PageDown: MoveTop(kPage); break;
    default: QWidget::keyPressEvent(e);
  }
}

void PrtWindow::wheelEvent(QWheelEvent* e) { MoveTop(e->angleDelta().y() / -120 * 3); }

void PrtWindow::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu(this);
  menu.setObjectName(u"PRT_POPUP"_qs);
  AddMenuItems(&menu, PrtPopupMenu, PrtPopupMenuCount);
  for (QAction* a : menu.actions()) {
    int check = CommandCheckState(a->data().toInt());
    a->setCheckable(check >= 0);
    a->setChecked(check == 1);
  }
  // Its commands go to the main window's dispatch.
  if (QAction* chosen = menu.exec(e->globalPos())) OnCommand(chosen->data().toInt());
}

void TogglePrtWindow(QWidget* owner) {
  if (g_prt_window) {
    delete g_prt_window.data();
    return;
  }
  g_prt_window = new PrtWindow(owner);
  g_prt_window->show();
}

PrtWindow* OpenPrtWindow() { return g_prt_window; }
