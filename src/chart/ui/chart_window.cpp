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
#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/value_tip.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/cross_window.h"
#include "chart/cross_cursor.h"
#include "chart/indicator_commands.h"
#include "chart/ui/chart_renderer.h"
#include "platform/qt/command_menus.h"
#include "res/menus.h"
#include "platform/command_dispatch.h"
#include "platform/diagnostics.h"
#include "chart/shown_stock.h"

namespace {

ChartView* g_view = nullptr;
QScrollBar* g_bar = nullptr;

// The company information and point-and-figure windows follow the chart once they exist.
void NotifyCompanyWindow() {}
void NotifyPointFigureWindow() {}

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

ChartView* TheChartView() { return g_view; }
QScrollBar* TheChartScrollBar() { return g_bar; }

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
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

ChartView::~ChartView() {
  qApp->removeEventFilter(this);
  if (tip_timer_) killTimer(tip_timer_);
  if (g_view == this) {
    g_view = nullptr;
    SetChartRepaintNotifier(nullptr);
  }
}

bool ChartView::eventFilter(QObject* obj, QEvent* ev) {
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

bool ChartView::ScaleHoldKeys() const { return ctrl_down_ && held_scroll_keys_ > 0; }

void ChartView::paintEvent(QPaintEvent*) {
  if (trend_only_ && image_.size() == size()) {
    trend_only_ = false;
    QPainter p(this);
    p.drawImage(0, 0, image_);
    return;
  }
  trend_only_ = false;
  line_drawn_ = false;  // a repaint removes the trend line
  if (DispNum != last_disp_) {
    last_disp_ = DispNum;
    NotifyCompanyWindow();
  }
  if (AshiFlag != last_ashi_) {
    last_ashi_ = AshiFlag;
    if (AshiFlag >= 1 && AshiFlag <= 3 && AshiBoxSelectHook) AshiBoxSelectHook(AshiFlag - 1);
  }
  for (int i = 0; i < 3; ++i) CandleHaba[i] = HabaTable[HabaIndex[i] < 0 ? 0 : HabaIndex[i] > 4 ? 4 : HabaIndex[i]];
  if (AshiFlag >= 1 && AshiFlag <= 3) {
    const bool hold = ScaleHoldKeys();
    PaintBuffered(this, &image_, [hold](QImage* img) { PaintChart(img, hold); });
    NotifyPointFigureWindow();
  } else {
    PRT("old PaintScreen()!\n");
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(PixelOf(Clr_ChartBackGround)));
  }
}

void ChartView::XorTrendLine() {
  if (image_.isNull()) return;
  ChartRaster r(&image_);
  r.XorLine(line_start_.x(), line_start_.y(), line_end_.x(), line_end_.y(), PixelOf(Clr_TrendLine), 2);
  trend_only_ = true;
  update();
}

void ChartView::EndDrag(bool erase) {
  if (erase && line_drawn_) {
    XorTrendLine();
    line_drawn_ = false;
  }
  drag_ = 0;
  releaseMouse();
}

void ChartView::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    line_start_ = line_end_ = pos;
    line_drawn_ = false;
    drag_ = 1;
    down_ms_ = QDateTime::currentMSecsSinceEpoch();
    grabMouse();
  } else if (e->button() == Qt::RightButton) {
    if (drag_) {
      EndDrag(true);
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

void ChartView::mouseMoveEvent(QMouseEvent* e) {
  if (drag_) {
    if (line_drawn_) XorTrendLine();
    line_end_ = e->position().toPoint();
    XorTrendLine();
    line_drawn_ = true;
    drag_ = 2;
  }
  if (CrossCursorOn() && !image_.isNull()) {
    const QPoint pos = e->position().toPoint();
    MoveCross(0, pos.x(), pos.y(), [this](int x, int y, bool v) { XorCrossHair(&image_, x, y, v); });
    trend_only_ = true;
    update();
  }
}

void ChartView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !drag_) return;
  const bool quick = QDateTime::currentMSecsSinceEpoch() - down_ms_ < 300;
  EndDrag(quick);
}

void ChartView::timerEvent(QTimerEvent* e) {
  if (e->timerId() != tip_timer_) return QWidget::timerEvent(e);
  TipTimerTick();
}

void ChartView::TipTimerTick() {
  const QPoint global = QCursor::pos();
  const QPoint local = mapFromGlobal(global);
  TipTick t;
  t.mouse_x = global.x();
  t.mouse_y = global.y();
  t.dragging = drag_ != 0;
  t.main_focused = window()->isActiveWindow();
  t.in_chart = rect().contains(local) && local.x() <= width() - 80;
  ValueTipTimer(t);
}

void ChartView::BuildChartMenu(QMenu* menu) {
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
  auto* view = new ChartView(area);
  InstallCrossWindow(parent ? parent->window() : nullptr);
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
      case QAbstractSlider::SliderSingleStepSub: ChartScroll(0); break;
      case QAbstractSlider::SliderSingleStepAdd: ChartScroll(1); break;
      case QAbstractSlider::SliderPageStepSub: ChartScroll(2); break;
      case QAbstractSlider::SliderPageStepAdd: ChartScroll(3); break;
      default: break;  // dragging the thumb moves nothing until it is released
    }
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar,
                   [bar] { ChartScroll(4, bar->sliderPosition()); });
  return area;
}
