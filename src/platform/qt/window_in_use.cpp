#include "platform/qt/window_in_use.h"

namespace {

// Kept on the window itself, so that they go with it.
constexpr const char* kUses = "kivoraWindowUses";
constexpr const char* kClosePending = "kivoraClosePending";

int Uses(const QWidget* w) { return w->property(kUses).toInt(); }

}  // namespace

WindowInUse::WindowInUse(QWidget* window) : window_(window) {
  if (window_) window_->setProperty(kUses, Uses(window_) + 1);
}

WindowInUse::~WindowInUse() {
  if (!window_) return;
  const int uses = Uses(window_) - 1;
  window_->setProperty(kUses, uses);
  if (uses > 0 || !window_->property(kClosePending).toBool()) return;
  // The handler is still on the stack: the deletion waits until control is back in the loop.
  window_->hide();
  window_->deleteLater();
}

bool WindowIsInUse(const QWidget* window) { return window && Uses(window) > 0; }

void CloseWindowSafely(QWidget* window) {
  if (!window) return;
  if (WindowIsInUse(window)) {
    window->setProperty(kClosePending, true);
    return;
  }
  delete window;
}
