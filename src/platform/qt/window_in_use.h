// Closing windows whose own code may still be running. A window's handler can wait in a
// question box, a dialog or a popup menu (a nested event loop) while a command closes that
// very window: its own menu item, or the timed download's closing of the tool windows.
// Deleting the window there leaves the handler running on freed memory. A handler that may
// wait or close its own window holds a WindowInUse; a close asked meanwhile is carried out
// when the last one ends, once control is back in the event loop.
#pragma once

#include <QPointer>
#include <QWidget>

class WindowInUse {
 public:
  explicit WindowInUse(QWidget* window);
  ~WindowInUse();
  WindowInUse(const WindowInUse&) = delete;
  WindowInUse& operator=(const WindowInUse&) = delete;

 private:
  QPointer<QWidget> window_;
};

// True while a handler of the window holds a WindowInUse.
bool WindowIsInUse(const QWidget* window);
// Deletes the window now when no handler of it is running; otherwise it stays as it is
// (shown, its dialog answered as usual) and is hidden and deleted after the last handler
// ends. Callers forget the window at once either way.
void CloseWindowSafely(QWidget* window);
