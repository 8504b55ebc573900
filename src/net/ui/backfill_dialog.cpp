#include "net/ui/backfill_dialog.h"

#include <QCheckBox>
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
#include <QRadioButton>
#include <QVBoxLayout>

#include "db/price_model.h"
#include "net/backfill.h"
#include "net/download_settings.h"
#include "net/ui/download_dialog.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

namespace {

class BackfillWindow final : public ProgressDownloadDialog {
 public:
  explicit BackfillWindow(QWidget* owner) : ProgressDownloadDialog(owner) {
    setObjectName(u"MILLER_DOWNLOAD"_qs);
    setWindowTitle(u"補充可能な株価、および信用残データをダウンロード"_qs);
    shown_ = new QRadioButton(u"表示銘柄のみ"_qs, this);
    shown_->setObjectName(Id(IDC_MILLER_SHOWN));
    all_ = new QRadioButton(u"全ての銘柄（取得し忘れた日の補充時にはこちらを）"_qs, this);
    all_->setObjectName(Id(IDC_MILLER_ALL));
    favourites_ = new QCheckBox(u"「お気に入り」銘柄のみ。"_qs, this);
    favourites_->setObjectName(Id(IDC_MILLER_FAVOURITES));
    choice_ = new QComboBox(this);
    choice_->setObjectName(Id(IDC_MILLER_CHOICE));
    guide_ = Label(IDC_MILLER_GUIDE, QString());
    MakeRunControls(IDC_MILLER_PROGRESS, IDC_MILLER_ELAPSED, IDC_MILLER_REMAINING);

    auto* grid = new QGridLayout;
    AddTimeRows(grid, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shown_);
    layout->addWidget(all_);
    layout->addWidget(favourites_);
    layout->addWidget(choice_);
    layout->addWidget(guide_);
    layout->addWidget(progress_);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow());

    if (BackfillLastScope == MILLER_SHOWN_STOCK) shown_->setChecked(true);
    else all_->setChecked(true);
    favourites_->setChecked(false);
    favourites_->setEnabled(all_->isChecked());
    connect(all_, &QRadioButton::toggled, this, [this](bool on) { favourites_->setEnabled(on); });
    for (const MillerChoice& c : kMillerChoices) choice_->addItem(FromCp932(c.entry));
    const int select = WebMillerSelect >= 0 && WebMillerSelect < MILLER_CHOICE_COUNT ? WebMillerSelect : 0;
    choice_->setCurrentIndex(select);
    guide_->setText(FromCp932(kMillerChoices[select].guide));
    connect(choice_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (i >= 0 && i < MILLER_CHOICE_COUNT) guide_->setText(FromCp932(kMillerChoices[i].guide));
    });
    progress_->setValue(0);
    connect(download_, &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  }

  // The run's total differs with the scope (stocks, or the shown stock's pages).
  void ShowProgress(int done, int total, const char* elapsed, const char* remaining) override {
    progress_->setRange(0, total > 0 ? total : 1);
    ProgressDownloadDialog::ShowProgress(done, total, elapsed, remaining);
  }

 private:

  void OnDownload() {
    const int scope = shown_->isChecked() ? MILLER_SHOWN_STOCK
                      : favourites_->isChecked() ? MILLER_FAVOURITES
                                                 : MILLER_ALL_STOCKS;
    RunAndClose([this, scope] { return RunBackfill(this, scope, choice_->currentIndex()); });
  }

  QRadioButton *shown_, *all_;
  QCheckBox* favourites_;
  QComboBox* choice_;
  QLabel* guide_;
};

QPointer<QWidget> g_owner;

}  // namespace

int ShowBackfillDialog(QWidget* owner) {
  BackfillWindow dialog(owner);
  return dialog.exec();
}

void InstallBackfillDialog(QWidget* owner) {
  g_owner = owner;
  BackfillDialog = [] { return ShowBackfillDialog(g_owner); };
}
