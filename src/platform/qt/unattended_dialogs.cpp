#include "platform/qt/unattended_dialogs.h"

#include <QDialog>
#include <QEvent>
#include <QPointer>

bool UnattendedDialogCloser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* dialog = qobject_cast<QDialog*>(watched);
  if (!dialog || !dialog->isModal() || !dialog->isWindow()) return false;
  // Posted, not done here: the dialog's own loop (or the work that showed it) runs first,
  // so exec returns through its usual path.
  QMetaObject::invokeMethod(
      this,
      [this, d = QPointer<QDialog>(dialog)] {
        if (!d || !d->isVisible()) return;
        d->repaint();
        if (on_shown_) on_shown_(d);
        if (d) d->reject();
      },
      Qt::QueuedConnection);
  return false;
}
