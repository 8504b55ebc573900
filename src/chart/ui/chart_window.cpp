#include "chart/ui/chart_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "chart/chart_commands.h"
#include "chart/chart_paint.h"
#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/value_tip.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/cross_window.h"
#include "chart/ui/value_tip_window.h"
#include "chart/ui/chart_picture_commands.h"
#include "chart/cross_cursor.h"
#include "chart/indicator_commands.h"
#include "chart/ui/chart_renderer.h"
#include "platform/hooks.h"
#include "platform/qt/command_menus.h"
#include "res/menus.h"
#include "platform/command_dispatch.h"
#include "chart/trend_line.h"

namespace {

ChartWidget* g_view = nullptr;
QScrollBar* g_bar = nullptr;

bool IsScrollKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

}  // namespace

ChartWidget* TheChartWidget() { return g_view; }
QScrollBar* TheChartScrollBar() { return g_bar; }

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(u"DrawWndClass"_qs);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  g_view = this;
  SetChartRepaintNotifier([] {
    if (g_view) g_view->update();
  });
  qApp->installEventFilter(this);
  tip_timer_ = startTimer(100);
}

ChartWidget::~ChartWidget() {
  qApp->removeEventFilter(this);
  if (tip_timer_) killTimer(tip_timer_);
  if (g_view == this) {
    g_view = nullptr;
    SetChartRepaintNotifier(nullptr);
  }
}

bool ChartWidget::eventFilter(QObject* obj, QEvent* ev) {
  // Ctrl with a scrolling key keeps the vertical scale; the keys are seen once, at the
  // window that receives them.
  if ((ev->type() == QEvent::KeyPress || ev->type() == QEvent::KeyRelease) && obj->isWindowType()) {
    auto* ke = static_cast<QKeyEvent*>(ev);
    ctrl_down_ = (ke->modifiers() & Qt::ControlModifier) != 0;
    if (ke->key() == Qt::Key_Control) ctrl_down_ = ev->type() == QEvent::KeyPress;
    if (IsScrollKey(ke->key()) && !ke->isAutoRepeat()) {
      if (ev->type() == QEvent::KeyPress) ++held_scroll_keys_;
      else if (held_scroll_keys_ > 0) --held_scroll_keys_;
    }
  }
  return QWidget::eventFilter(obj, ev);
}

bool ChartWidget::ScaleHoldKeys() const { return ctrl_down_ && held_scroll_keys_ > 0; }

void ChartWidget::paintEvent(QPaintEvent*) {
  if (trend_only_ && image_.size() == size()) {
    trend_only_ = false;
    QPainter p(this);
    p.drawImage(0, 0, image_);
    return;
  }
  trend_only_ = false;
  if (BeginChartPaint()) {
    const bool hold = ScaleHoldKeys();
    PaintBuffered(this, &image_, [hold](QImage* img) { PaintChart(img, hold); });
    EndChartPaint();
  } else {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(PixelOf(Clr_ChartBackGround)));
  }
}

// The trend line goes onto the last paint's image in XOR; the next paint event only shows
// the image again.
void ChartWidget::DrawStrokes(const TrendStrokes& strokes) {
  if (strokes.count == 0 || image_.isNull()) return;
  ChartRaster r(&image_);
  for (int k = 0; k < strokes.count; ++k) {
    const TrendSegment& s = strokes.seg[k];
    r.XorLine(s.x1, s.y1, s.x2, s.y2, PixelOf(Clr_TrendLine), 2);
  }
  trend_only_ = true;
  update();
}

void ChartWidget::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    TrendLineDown(pos.x(), pos.y(), QDateTime::currentMSecsSinceEpoch());
    grabMouse();
  } else if (e->button() == Qt::RightButton) {
    if (TrendLine.drag) {
      DrawStrokes(TrendLineCancel());
      releaseMouse();
      return;
    }
    QMenu menu(this);
    BuildChartMenu(&menu);
    fTipEnable = 0;
    QAction* chosen = menu.exec(e->globalPosition().toPoint());
    fTipEnable = 1;
    if (chosen && chosen->data().toInt()) {
      OnCommand(chosen->data().toInt());
      RefreshAllCommandStates();
    }
  }
}

void ChartWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  DrawStrokes(TrendLineMove(pos.x(), pos.y()));
  if (CrossCursorOn() && !image_.isNull()) {
    MoveCross(0, pos.x(), pos.y(), [this](int x, int y, bool v) { XorCrossHair(&image_, x, y, v); });
    trend_only_ = true;
    update();
  }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !TrendLine.drag) return;
  DrawStrokes(TrendLineUp(QDateTime::currentMSecsSinceEpoch()));
  releaseMouse();
}

void ChartWidget::timerEvent(QTimerEvent* e) {
  if (e->timerId() != tip_timer_) return QWidget::timerEvent(e);
  TipTimerTick();
}

void ChartWidget::TipTimerTick() {
  const QPoint global = QCursor::pos();
  const QPoint local = mapFromGlobal(global);
  TipTick t;
  t.mouse_x = global.x();
  t.mouse_y = global.y();
  t.dragging = TrendLine.drag != 0;
  t.main_focused = window()->isActiveWindow();
  t.in_chart = rect().contains(local) && local.x() <= width() - 80;
  t.client_x = local.x();
  t.client_y = local.y();
  // Any modal dialog or menu holds the tip back only while it is open.
  t.modal = QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
  ValueTipTimer(t);
}

void ChartWidget::BuildChartMenu(QMenu* menu) {
  AddMenuItems(menu, ChartPopupMenu[0].submenu, ChartPopupMenu[0].submenu_count);
  ApplyCommandStates(menu);
  // Bollinger bands and the Ichimoku cloud share the price pane; the chart menu offers
  // one while the other is shown.
  for (QAction* a : menu->findChildren<QAction*>())
    if (a->data().toInt() == IDM_BOLLINGER && fViewIchimoku) a->setEnabled(false);
}

ChartScrollBarWidget::ChartScrollBarWidget(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setFocusPolicy(Qt::NoFocus);
  setTracking(false);
}

void ChartScrollBarWidget::wheelEvent(QWheelEvent* e) { e->ignore(); }

QWidget* CreateChartArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setObjectName(u"ChartArea"_qs);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* view = new ChartWidget(area);
  InstallCrossWindow(parent ? parent->window() : nullptr);
  InstallValueTipWindow(parent ? parent->window() : nullptr);
  RegisterChartPictureCommands(parent ? parent->window() : nullptr);
  auto* bar = new ChartScrollBarWidget(area);
  layout->addWidget(view, 1);
  layout->addWidget(bar, 0);
  g_bar = bar;
  QObject::connect(bar, &QObject::destroyed, [] {
    g_bar = nullptr;
    ChartScrollBarHook = nullptr;
  });

  ChartScrollBarHook = [](int mn, int mx, int pos) {
    if (!g_bar) return;
    const QSignalBlocker block(g_bar);
    g_bar->setRange(mn, mx);
    g_bar->setPageStep(nDispBar / 2 > 1 ? nDispBar / 2 : 1);
    g_bar->setValue(pos);
  };
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: ChartScroll(SCROLL_LINE_LEFT); break;
      case QAbstractSlider::SliderSingleStepAdd: ChartScroll(SCROLL_LINE_RIGHT); break;
      case QAbstractSlider::SliderPageStepSub: ChartScroll(SCROLL_PAGE_LEFT); break;
      case QAbstractSlider::SliderPageStepAdd: ChartScroll(SCROLL_PAGE_RIGHT); break;
      default: break;  // dragging the thumb moves nothing until it is released
    }
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar,
                   [bar] { ChartScroll(SCROLL_THUMB, bar->sliderPosition()); });
  return area;
}
