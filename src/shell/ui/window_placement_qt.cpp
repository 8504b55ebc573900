#include "shell/ui/window_placement_qt.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

bool ApplyWindowPlacement(QWidget* w, const WinPlacement& p) {
  if (!w || p.right <= p.left || p.bottom <= p.top) return false;
  // The screen the rectangle's top-left corner lies on, else the primary one; a placement
  // larger than its available area, or lying off it, is brought onto it first.
  WinPlacement fit = p;
  QScreen* screen = QGuiApplication::screenAt(QPoint(p.left, p.top));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QRect area = screen->availableGeometry();
    FitPlacementToDesktop(fit, area.left(), area.top(), area.left() + area.width(), area.top() + area.height());
  }
  w->move(fit.left, fit.top);
  w->resize(fit.right - fit.left, fit.bottom - fit.top);
  return true;
}

bool ApplyWindowPosition(QWidget* w, const WinPlacement& p) {
  if (!w) return false;
  WinPlacement fit = p;
  QScreen* screen = QGuiApplication::screenAt(QPoint(p.left, p.top));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QRect area = screen->availableGeometry();
    fit.left -= area.left();
    fit.top -= area.top();
    ClampPlacementPosition(fit, w->width(), w->height(), area.width(), area.height());
    fit.left += area.left();
    fit.top += area.top();
  }
  w->move(fit.left, fit.top);
  return true;
}

bool ReadWindowPlacement(const QWidget* w, WinPlacement& p) {
  if (!w) return false;
  QRect r(w->pos(), w->size());
  if (w->isMinimized() || w->isMaximized()) {
    // The restored rectangle, moved from the client area's origin to the frame's.
    const QRect normal = w->normalGeometry();
    if (normal.isValid()) r = normal.translated(w->frameGeometry().topLeft() - w->geometry().topLeft());
  }
  if (!r.isValid()) return false;
  p.show = w->isMinimized() ? SW_SHOWMINIMIZED : w->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  p.left = r.x();
  p.top = r.y();
  p.right = r.x() + r.width();
  p.bottom = r.y() + r.height();
  return true;
}
