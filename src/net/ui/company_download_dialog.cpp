#include "net/ui/company_download_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "db/price_model.h"
#include "net/company_download.h"
#include "net/ui/download_dialog.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

namespace {

class FunDialog final : public ProgressDownloadDialog {
 public:
  explicit FunDialog(QWidget* owner) : ProgressDownloadDialog(owner) {
    setObjectName(u"FUN_DOWNLOAD"_qs);
    setWindowTitle(u"企業情報をダウンロード（東洋経済新報社HPから）"_qs);
    auto* layout = new QVBoxLayout(this);
    const struct {
      int id;
      QString text;
    } choices[] = {
        {IDC_FUN_SHOWN, u"表示銘柄のみ  （ 所要時間 約3秒）"_qs},
        {IDC_FUN_MISSING, u"全ての銘柄 [ 不足分のみ補充 ]"_qs},
        {IDC_FUN_ALL, u"全ての銘柄 [ 最新情報に更新 ]  （ 所要時間 約1時間  ）"_qs},
    };
    for (int i = 0; i < 3; ++i) {
      radio_[i] = new QRadioButton(choices[i].text, this);
      radio_[i]->setObjectName(Id(choices[i].id));
      layout->addWidget(radio_[i]);
    }
    radio_[0]->setChecked(true);
    MakeRunControls(IDC_FUN_PROGRESS, IDC_FUN_ELAPSED, IDC_FUN_REMAINING);
    progress_->setRange(0, LastKabu > 1 ? LastKabu - 1 : 1);
    progress_->setValue(0);
    text_ = Label(IDC_FUN_TEXT, QString());
    auto* grid = new QGridLayout;
    AddTimeRows(grid, 0);
    layout->addWidget(progress_);
    layout->addLayout(grid);
    layout->addWidget(text_);
    layout->addLayout(ButtonRow());
    connect(download_, &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  }

  void ShowText(const char* text) override { text_->setText(FromCp932(text)); }

 private:
  void OnDownload() {
    for (QRadioButton* r : radio_) r->setEnabled(false);
    int scope = FUN_SCOPE_SHOWN;
    if (radio_[1]->isChecked()) scope = FUN_SCOPE_MISSING;
    if (radio_[2]->isChecked()) scope = FUN_SCOPE_ALL;
    RunAndClose([this, scope] { return RunCompanyDownload(scope, this); });
  }

  QRadioButton* radio_[3];
  QLabel* text_;
};

}  // namespace

int ShowCompanyDownloadDialog(QWidget* owner) {
  FunDialog dialog(owner);
  return dialog.exec();
}
