#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/qt/qt_codepage.h"
#include "platform/command_dispatch.h"

int QtHost::MessageBox(const char* text, const char* caption, unsigned type) {
  if (ending_) {
    const unsigned buttons = type & MB_BUTTON_MASK;
    if (buttons == MB_YESNO) return IDNO;
    if (buttons == MB_OKCANCEL) return IDCANCEL;
    return IDOK;
  }
  if (unattended_) {
    auto* shown = new QMessageBox(owner_);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    // Shown for the picture only: the keys of the run still reach the main window.
    shown->setWindowModality(Qt::NonModal);
    shown->setWindowTitle(FromCp932(caption));
    shown->setText(FromCp932(text));
    shown->show();
    QCoreApplication::processEvents();
    const unsigned buttons = type & MB_BUTTON_MASK;
    const bool second = (type & MB_DEFBUTTON2) != 0;
    if (buttons == MB_YESNO) return second ? IDNO : IDYES;
    if (buttons == MB_OKCANCEL) return second ? IDCANCEL : IDOK;
    return IDOK;
  }
  QMessageBox box(owner_);
  box.setWindowTitle(FromCp932(caption));
  box.setText(FromCp932(text));
  switch (type & MB_ICON_MASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  const bool second = (type & MB_DEFBUTTON2) != 0;
  QPushButton* first_button = nullptr;
  QPushButton* second_button = nullptr;
  int first_id = IDOK, second_id = IDCANCEL;
  switch (type & MB_BUTTON_MASK) {
    case MB_OKCANCEL:
      first_button = box.addButton(QMessageBox::Ok);
      second_button = box.addButton(QMessageBox::Cancel);
      break;
    case MB_YESNO:
      first_button = box.addButton(QMessageBox::Yes);
      second_button = box.addButton(QMessageBox::No);
      first_id = IDYES;
      second_id = IDNO;
      break;
    default:
      first_button = box.addButton(QMessageBox::Ok);
      break;
  }
  if (second && second_button) box.setDefaultButton(second_button);
  else box.setDefaultButton(first_button);
  box.exec();
  if (second_button && box.clickedButton() == second_button) return second_id;
  if (!second_button) return IDOK;
  // Escape or closing the box counts as the second button (Cancel / No).
  return box.clickedButton() == first_button ? first_id : second_id;
}

void QtHost::WaitDialogOpen(const char* text) {
  if (!wait_) {
    auto* dlg = new QDialog(owner_);
    dlg->setObjectName(u"WAIT_JOB"_qs);
    dlg->setWindowTitle(u"しばらくお待ちください"_qs);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dlg);
    auto* label = new QLabel(dlg);
    label->setObjectName(u"WAIT_TEXT"_qs);
    layout->addWidget(label);
    wait_ = dlg;
  }
  if (auto* label = wait_->findChild<QLabel*>(u"WAIT_TEXT"_qs)) label->setText(FromCp932(text));
  wait_->show();
  QCoreApplication::processEvents();
}

void QtHost::WaitDialogClose() {
  if (wait_) wait_->close();
}

void QtHost::PumpEvents() { QCoreApplication::processEvents(); }

void QtHost::PostCommand(int id, long param) {
  // Queued, so posted commands run in the order posted once control returns to the loop.
  QMetaObject::invokeMethod(this, [id, param] { OnCommand(id, param); }, Qt::QueuedConnection);
}

void QtHost::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(FromCp932(text));
}

bool QtHost::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size()))));
}

bool QtHost::OpenLocalFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()))));
}

void QtHost::Beep() { QApplication::beep(); }

int64_t QtHost::Now() { return QDateTime::currentSecsSinceEpoch(); }

void QtHost::SleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }
