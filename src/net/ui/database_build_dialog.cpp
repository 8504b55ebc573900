#include "net/ui/database_build_dialog.h"

#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "net/backfill.h"
#include "net/database_build.h"
#include "net/ui/download_dialog.h"
#include "platform/hooks.h"

namespace {

class DbMakeWindow final : public ProgressDownloadDialog {
 public:
  explicit DbMakeWindow(QWidget* owner) : ProgressDownloadDialog(owner) {
    setObjectName(u"DBMAKE_DOWNLOAD"_qs);
    setWindowTitle(u"株価データベースの作成"_qs);
    text_ = Label(IDC_DBMAKE_TEXT, FromCp932(kDbMakeAskText));
    text_->setWordWrap(true);
    MakeRunControls(IDC_DBMAKE_PROGRESS, IDC_DBMAKE_ELAPSED, IDC_DBMAKE_REMAINING);
    download_->setText(u"OK"_qs);
    // Cancel is the default: the build cannot be undone once it started.
    download_->setDefault(false);
    cancel_->setDefault(true);
    progress_->setValue(0);

    auto* grid = new QGridLayout;
    AddTimeRows(grid, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(progress_);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow());
    connect(download_, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  }

  // The bar starts at 100, which a master file of fewer stocks does not reach.
  void ShowProgress(int done, int total, const char* elapsed, const char* remaining) override {
    progress_->setRange(0, total > 0 ? total : 1);
    ProgressDownloadDialog::ShowProgress(std::min(done, progress_->maximum()), total, elapsed, remaining);
  }

 protected:
  // Cancel before OK closes with nothing written; during the build it asks the run to stop.
  void reject() override {
    if (running_) cancel_asked_ = true;
    else done(1);
  }

 private:
  void OnOk() {
    if (running_) return;
    text_->setText(FromCp932(kDbMakeRunText));
    // The dialog ends with 1 whatever the build did.
    RunAndClose([this] {
      BuildRegularDatabase(this);
      return 1;
    });
  }

  QLabel* text_;
};

QPointer<QWidget> g_owner;

}  // namespace

int ShowDbMakeDialog(QWidget* owner) {
  DbMakeWindow dialog(owner);
  return dialog.exec();
}

void InstallDbMakeDialog(QWidget* owner) {
  g_owner = owner;
  DbMakeDialog = [] { return ShowDbMakeDialog(g_owner); };
}
