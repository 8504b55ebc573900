// A run with nobody at the screen (the screenshot and PDF runs) must never wait in a dialog.
#pragma once

#include <QObject>
#include <functional>

class QDialog;

// While installed on the application, every modal dialog that opens (exec, open, or shown
// modal) is painted once and then rejected, so the code that opened it goes on as after
// Cancel and nothing is changed. `on_shown` runs first, with the dialog on the screen.
class UnattendedDialogCloser final : public QObject {
 public:
  explicit UnattendedDialogCloser(std::function<void(QDialog*)> on_shown, QObject* parent = nullptr)
      : QObject(parent), on_shown_(std::move(on_shown)) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(QDialog*)> on_shown_;
};
