// What the download dialogs share: a run inside the dialog that Cancel, Escape or the close
// box only asks to stop (tested between items), and labels named by their control ids.
#pragma once

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QString>

class DownloadDialog : public QDialog {
 public:
  explicit DownloadDialog(QWidget* owner) : QDialog(owner) {}

 protected:
  static QString Id(int id) { return QString::number(id); }
  QLabel* Label(int id, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(Id(id));
    return l;
  }
  // Lets pending window events run and tells whether a stop was asked.
  bool PollCancel() {
    QCoreApplication::processEvents();
    return cancel_asked_;
  }
  // Escape or the close box: during a run only the request to stop.
  void reject() override {
    if (running_) cancel_asked_ = true;
    else done(0);
  }
  void closeEvent(QCloseEvent* e) override {
    if (running_) {
      cancel_asked_ = true;
      e->ignore();
      return;
    }
    QDialog::closeEvent(e);
  }

  bool running_ = false;       // a download is running
  bool cancel_asked_ = false;  // Cancel or close asked during the run
};
