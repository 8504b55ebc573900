#include "chart/ui/cross_window.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <cstring>

#include "chart/chart_settings.h"
#include "chart/cross_cursor.h"
#include "chart/ui/chart_fonts.h"
#include "chart/ui/chart_raster.h"
#include "platform/command_dispatch.h"
#include "platform/diagnostics.h"
#include "platform/qt/command_menus.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/window_in_use.h"
#include "res/menus.h"

namespace {

QPointer<CrossWindow> g_cross;
QPointer<QWidget> g_owner;
int g_width = 120;  // fixed when the window is created
CrossWindowPlacement g_placement;

int FontSize() { return CrossFontSize >= CROSS_FONT_MIN && CrossFontSize <= CROSS_FONT_MAX ? CrossFontSize : 12; }

// The height that shows n lines as paintEvent draws them: one pixel above the first line, the
// font's own line height per line (more than its pixel size), the border below.
int BoxHeight(int n) {
  const QFontMetrics fm(MakeChartFont(u"ＭＳ ゴシック"_qs, FontSize()));
  return 1 + (n > 0 ? n : 1) * fm.height() + 2;
}

// Sizes the box for n lines and keeps it on its screen: a box taller than the room below its
// top moves up, never above the screen's top.
void SizeBox(QWidget* box, int n) {
  box->resize(g_width, BoxHeight(n));
  const QScreen* screen = box->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  QPoint at = box->pos();
  if (at.y() + box->height() > room.bottom() + 1) at.setY(std::max(room.top(), room.bottom() + 1 - box->height()));
  if (at.x() + box->width() > room.right() + 1) at.setX(std::max(room.left(), room.right() + 1 - box->width()));
  if (at != box->pos()) box->move(at);
}

}  // namespace

CrossWindow* TheCrossWindow() { return g_cross; }

void SetCrossWindowPlacement(CrossWindowPlacement placement) { g_placement = placement; }

void XorCrossHair(QImage* image, int x, int y, bool vertical) {
  if (!image || image->isNull()) return;
  ChartRaster r(image);
  const QRgb pen = PixelOf(Clr_ChartMoji), bg = PixelOf(Clr_ChartBackGround);
  if (vertical) r.XorDottedLine(x, 20, x, r.Height(), pen, bg);
  r.XorDottedLine(0, y, r.Width(), y, pen, bg);
}

CrossWindow::CrossWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(u"CrossClass"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  g_width = FontSize() * 10;
  setGeometry(50, 250, g_width, 15);
  if (g_placement.apply) g_placement.apply(this);
  SizeBox(this, nCrossLine);
  timer_ = startTimer(300);
}

CrossWindow::~CrossWindow() {
  if (g_placement.read) g_placement.read(this);
  if (timer_) killTimer(timer_);
}

void CrossWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::ToolTipBase));
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const int f = FontSize();
  const QFont font = MakeChartFont(u"ＭＳ ゴシック"_qs, f);
  const QFontMetrics fm(font);
  p.setFont(font);
  value_rects_.assign(static_cast<size_t>(nCrossLine), QRect());
  int y = 1;
  bool red_next = false;
  bool after_change = false;
  for (int k = 0; k < nCrossLine; ++k) {
    const CrossLine& l = CrossLines[k];
    const QString label = FromCp932(l.label[0] ? l.label : " ");
    const QString value = FromCp932(l.value);
    const bool change = std::strcmp(l.label, "前日比") == 0;
    const bool red = red_next || (change && std::strchr(l.value, '-'));
    red_next = change && std::strchr(l.value, '-');
    p.setPen(red ? QColor(0xFF, 0, 0) : QColor(Qt::black));
    p.drawText(2, y + fm.ascent(), label);
    const int lw = fm.horizontalAdvance(label);
    value_rects_[static_cast<size_t>(k)] = QRect(QPoint(lw + 2, y), QPoint(rect().right(), y + f));
    int vx = g_width - f - fm.horizontalAdvance(value) - 4;
    if (std::strchr(l.value, '.')) vx += f;
    if (after_change) vx -= f / 2;
    after_change = change;
    p.drawText(vx, y + fm.ascent(), value);
    y += fm.height();
  }
}

void CrossWindow::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    // The menu's command switches the cross cursor off, which closes this window.
    WindowInUse in_use(this);
    const int id = PopupMenu(e->globalPosition().toPoint());
    if (id) {
      OnCommand(id);
      RefreshAllCommandStates();
    }
    return;
  }
  drag_offset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CrossWindow::mouseMoveEvent(QMouseEvent* e) {
  // Dragging anywhere in the window moves it.
  if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - drag_offset_);
}

int CrossWindow::PopupMenu(const QPoint& global) {
  if (popup_open_) return 0;
  popup_open_ = true;
  PRT("右クリックされたね (x,y)=%d,%d\n", global.x(), global.y());
  QMenu menu(this);
  AddMenuItems(&menu, CrossPopupMenu[0].submenu, CrossPopupMenu[0].submenu_count);
  ApplyCommandStates(&menu);
  QAction* chosen = menu.exec(global);
  popup_open_ = false;
  return chosen ? chosen->data().toInt() : 0;
}

void CrossWindow::timerEvent(QTimerEvent* e) {
  if (e->timerId() != timer_) return QWidget::timerEvent(e);
  // Keys keep reaching the chart: the focus goes back to the main window.
  if (!popup_open_ && hasFocus() && g_owner) g_owner->activateWindow();
}

void InstallCrossWindow(QWidget* owner) {
  g_owner = owner;
  CrossWindowHooks h;
  h.exists = [] { return !g_cross.isNull(); };
  h.set_window = [](bool create) {
    if (g_cross) {
      CrossWindow* old = g_cross;
      g_cross = nullptr;
      CloseWindowSafely(old);
    }
    if (create && g_owner) {
      g_cross = new CrossWindow(g_owner);
      g_cross->show();
    }
  };
  h.resize = [](int n) {
    if (g_cross) SizeBox(g_cross, n);
  };
  h.lines_changed = [](bool labels_same) {
    if (!g_cross) return;
    const auto& rects = g_cross->ValueRects();
    if (labels_same && static_cast<int>(rects.size()) == nCrossLine) {
      for (const QRect& r : rects) g_cross->update(r);
    } else {
      g_cross->update();
    }
  };
  SetCrossWindowHooks(h);
}
