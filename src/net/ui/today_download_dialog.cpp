#include "net/ui/today_download_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "db/price_model.h"
#include "net/download_settings.h"
#include "net/today_download.h"
#include "net/ui/download_dialog.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

namespace {

class TodayDialog final : public ProgressDownloadDialog {
 public:
  explicit TodayDialog(QWidget* owner) : ProgressDownloadDialog(owner) {
    setObjectName(u"WEB_DOWNLOAD"_qs);
    setWindowTitle(u"今日の株価をダウンロード"_qs);
    source_ = new QComboBox(this);
    source_->setObjectName(Id(IDC_WEB_SOURCE));
    date_ = Label(IDC_WEB_DATE, u"不明"_qs);
    MakeRunControls(IDC_WEB_PROGRESS, IDC_WEB_ELAPSED, IDC_WEB_REMAINING);
    explain_ = Label(IDC_WEB_EXPLAIN, QString());

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u"取得先"_qs, this), 0, 0);
    grid->addWidget(source_, 0, 1);
    grid->addWidget(new QLabel(u"日付"_qs, this), 1, 0);
    grid->addWidget(date_, 1, 1);
    AddTimeRows(grid, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(progress_);
    layout->addWidget(explain_);
    layout->addLayout(ButtonRow());

    // Start: one source, its explanation, the table emptied.
    source_->addItem(u"Yahoo!から"_qs);
    source_->setCurrentIndex(0);
    explain_->setText(u"ダウンロード時間 12分00秒。\n信用残の取得は「過去株価を補充」をご利用下さい。\n"_qs);
    WebDownSelect = source_->currentIndex();
    progress_->setValue(0);
    ClearWebDayTable();
    connect(download_, &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });
    if (fTimedDownload) {
      setWindowTitle(u"定時の自動ダウンロード中。"_qs);
      QTimer::singleShot(1000, this, [this] {
        if (!running_) download_->click();
      });
    }
  }

  // The run's text line is the trading date.
  void ShowText(const char* text) override { date_->setText(FromCp932(text)); }

 private:
  void OnDownload() {
    if (running_) return;
    source_->setEnabled(false);
    progress_->setRange(0, LastKabu > 0 ? LastKabu : 1);
    RunAndClose([this] { return RunTodayDownload(this); });
  }

  void OnCancel() {
    PRT("fPushOK=%d, fUserCancel=%d\n", running_ ? 1 : 0, cancel_asked_ ? 1 : 0);
    if (!running_) done(0);
    cancel_asked_ = true;
  }

  QComboBox* source_;
  QLabel *date_, *explain_;
};

QPointer<QWidget> g_owner;

}  // namespace

int ShowTodayDownloadDialog(QWidget* owner) {
  TodayDialog dialog(owner);
  return dialog.exec();
}

void InstallTodayDownloadDialog(QWidget* owner) {
  g_owner = owner;
  TodayDownloadDialog = [] { return ShowTodayDownloadDialog(g_owner); };
}
