#include "net/ui/company_download_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "net/company_download.h"
#include "platform/host.h"

namespace {

class FunDialog final : public QDialog {
 public:
  explicit FunDialog(QWidget* owner) : QDialog(owner) {
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
      radio_[i]->setObjectName(QString::number(choices[i].id));
      layout->addWidget(radio_[i]);
    }
    radio_[0]->setChecked(true);
    download_ = new QPushButton(u"ダウンロード"_qs, this);
    download_->setObjectName(QString::number(IDOK));
    download_->setDefault(true);
    auto* cancel = new QPushButton(u"キャンセル"_qs, this);
    cancel->setObjectName(QString::number(IDCANCEL));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(download_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(download_, &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  }

 protected:
  void reject() override {
    // The run has its own Cancel in the progress dialog.
    if (!running_) QDialog::reject();
  }

 private:
  void OnDownload() {
    if (running_) return;
    running_ = true;
    download_->setEnabled(false);
    int scope = FUN_SCOPE_SHOWN;
    if (radio_[1]->isChecked()) scope = FUN_SCOPE_MISSING;
    if (radio_[2]->isChecked()) scope = FUN_SCOPE_ALL;
    const int result = RunCompanyDownload(scope);
    running_ = false;
    done(result);
  }

  QRadioButton* radio_[3];
  QPushButton* download_;
  bool running_ = false;
};

}  // namespace

int ShowCompanyDownloadDialog(QWidget* owner) {
  FunDialog dialog(owner);
  return dialog.exec();
}
