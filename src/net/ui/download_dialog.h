// What the download dialogs share: a run inside the dialog that Cancel, Escape or the close
// box only asks to stop (tested between items), and labels named by their control ids.
#pragma once

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <functional>

#include "net/download_progress.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

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
  // The run's controls: the progress bar, the elapsed and remaining times, and the
  // "ダウンロード" (IDOK) and "キャンセル" (IDCANCEL) buttons.
  void MakeRunControls(int progress_id, int elapsed_id, int remaining_id) {
    progress_ = new QProgressBar(this);
    progress_->setObjectName(Id(progress_id));
    progress_->setTextVisible(false);
    elapsed_ = Label(elapsed_id, u"--:--"_qs);
    remaining_ = Label(remaining_id, u"--:--"_qs);
    download_ = new QPushButton(u"ダウンロード"_qs, this);
    download_->setObjectName(Id(IDOK));
    download_->setDefault(true);
    cancel_ = new QPushButton(u"キャンセル"_qs, this);
    cancel_->setObjectName(Id(IDCANCEL));
  }
  // "経過時間" and "残り時間" with their times, from grid row `row` on.
  void AddTimeRows(QGridLayout* grid, int row) {
    grid->addWidget(new QLabel(u"経過時間"_qs, this), row, 0);
    grid->addWidget(elapsed_, row, 1);
    grid->addWidget(new QLabel(u"残り時間"_qs, this), row + 1, 0);
    grid->addWidget(remaining_, row + 1, 1);
  }
  // The two buttons at the right.
  QHBoxLayout* ButtonRow() {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(download_);
    buttons->addWidget(cancel_);
    return buttons;
  }
  void ShowTimes(const char* elapsed, const char* remaining) {
    elapsed_->setText(FromCp932(elapsed));
    remaining_->setText(FromCp932(remaining));
  }
  // Lets pending window events run and tells whether a stop was asked.
  bool PollCancel() {
    QCoreApplication::processEvents();
    return cancel_asked_;
  }
  // The Download button's work: the run, during which Cancel and the close box only ask to
  // stop, then the dialog ends with the run's result.
  void RunAndClose(const std::function<int()>& run) {
    if (running_) return;
    running_ = true;
    cancel_asked_ = false;
    download_->setEnabled(false);
    const int result = run();
    running_ = false;
    done(result);
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

  QProgressBar* progress_ = nullptr;
  QLabel *elapsed_ = nullptr, *remaining_ = nullptr;
  QPushButton *download_ = nullptr, *cancel_ = nullptr;
  bool running_ = false;       // a download is running
  bool cancel_asked_ = false;  // Cancel or close asked during the run
};

// A download dialog whose run reports through DownloadProgress: the count on the bar with
// the two times, and the stop asked by Cancel or the close box.
class ProgressDownloadDialog : public DownloadDialog, public DownloadProgress {
 public:
  using DownloadDialog::DownloadDialog;
  void ShowProgress(int done, int, const char* elapsed, const char* remaining) override {
    progress_->setValue(done);
    ShowTimes(elapsed, remaining);
  }
  bool CancelRequested() override { return PollCancel(); }
  bool CancelDuringFetch() override { return PollCancel(); }
};
