#include "seed_dialog.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "seed_build.h"

namespace {
QString Q(const char* cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
}  // namespace

int SeedQtHost::MessageBox(const char* text, const char* caption, unsigned type) {
  QMessageBox box(owner);
  box.setWindowTitle(Q(caption));
  box.setText(Q(text));
  const unsigned icon = type & MB_ICON_MASK;
  box.setIcon(icon == MB_ICONERROR         ? QMessageBox::Critical
              : icon == MB_ICONWARNING     ? QMessageBox::Warning
              : icon == MB_ICONQUESTION    ? QMessageBox::Question
              : icon == MB_ICONINFORMATION ? QMessageBox::Information
                                           : QMessageBox::NoIcon);
  const unsigned buttons = type & MB_BUTTON_MASK;
  QPushButton *first = nullptr, *second = nullptr;
  if (buttons == MB_OKCANCEL) {
    first = box.addButton(u"OK"_qs, QMessageBox::AcceptRole);
    second = box.addButton(u"キャンセル"_qs, QMessageBox::RejectRole);
  } else if (buttons == MB_YESNO) {
    first = box.addButton(u"はい(&Y)"_qs, QMessageBox::YesRole);
    second = box.addButton(u"いいえ(&N)"_qs, QMessageBox::NoRole);
  } else {
    first = box.addButton(u"OK"_qs, QMessageBox::AcceptRole);
  }
  box.setDefaultButton((type & MB_DEFBUTTON2) && second ? second : first);
  if (second) box.setEscapeButton(second);
  box.exec();
  const bool yes = box.clickedButton() == first;
  if (buttons == MB_YESNO) return yes ? IDYES : IDNO;
  if (buttons == MB_OKCANCEL) return yes ? IDOK : IDCANCEL;
  return IDOK;
}

void SeedQtHost::PumpEvents() { QApplication::processEvents(); }

SeedDialog::SeedDialog(MarketSource* source) : source_(source) {
  setObjectName(u"102"_qs);
  setWindowTitle(u"PanRollingDBからKivora DBへ変換"_qs);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(u"進捗状況"_qs), 0, 0);
  progress_ = new QLineEdit;
  progress_->setObjectName(u"1003"_qs);
  progress_->setReadOnly(true);
  grid->addWidget(progress_, 0, 1);
  grid->addWidget(new QLabel(u"銘柄名"_qs), 1, 0);
  stock_ = new QLineEdit;
  stock_->setObjectName(u"1006"_qs);
  stock_->setReadOnly(true);
  stock_->setMinimumWidth(260);
  grid->addWidget(stock_, 1, 1);
  auto* buttons = new QHBoxLayout;
  create_ = new QPushButton(u"作成"_qs);
  create_->setObjectName(u"1005"_qs);
  auto* close = new QPushButton(u"閉じる"_qs);
  close->setObjectName(u"1"_qs);
  buttons->addStretch();
  buttons->addWidget(create_);
  buttons->addWidget(close);
  grid->addLayout(buttons, 2, 0, 1, 2);
  connect(create_, &QPushButton::clicked, this, [this] { OnCreate(); });
  connect(close, &QPushButton::clicked, this, [this] { reject(); });
  // The about item (the desktop gives no way into the window menu).
  auto* about = new QAction(u"ﾊﾞｰｼﾞｮﾝ情報(dbseed) (&A)..."_qs, this);
  connect(about, &QAction::triggered, this, [this] { ShowAbout(); });
  addAction(about);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void SeedDialog::ShowAbout() {
  QMessageBox::about(this, u"ﾊﾞｰｼﾞｮﾝ情報 dbseed"_qs, u"dbseed Version 1.0"_qs);
}

// The warnings of a finished build, as one box at its end.
void SeedDialog::ShowNotes(const std::vector<std::string>& notes) {
  constexpr size_t kShown = 30;
  std::string text = "作成中の注意 (" + std::to_string(notes.size()) + " 件):\n\n";
  for (size_t k = 0; k < notes.size() && k < kShown; ++k) text += notes[k] + "\n";
  if (notes.size() > kShown) text += "ほか " + std::to_string(notes.size() - kShown) + " 件 (診断履歴にすべてあります)\n";
  HostMessageBox(text.c_str(), SEED_NOTES_CAPTION, MB_OK | MB_ICONWARNING);
}

void SeedDialog::reject() {
  // Closing the window during a build stops it; the old database stays as it was.
  if (running_) {
    cancel_ = true;
    return;
  }
  QDialog::reject();
}

void SeedDialog::OnCreate() {
  if (running_) return;
  running_ = true;
  cancel_ = false;
  create_->setEnabled(false);
  SeedRun run;
  run.source = source_;
  run.progress = [this](int, const char* progress, const char* stock) {
    progress_->setText(Q(progress));
    stock_->setText(Q(stock));
  };
  run.cancelled = [this] { return cancel_; };
  std::vector<std::string> notes;
  run.note = [&notes](const char* line) { notes.push_back(line); };
  const SeedResult result = SeedDatabase(run);
  running_ = false;
  create_->setEnabled(true);
  // Refused for faulty price files: nothing changed, and the files can be mended and the
  // build started again.
  if (result == SeedResult::kDeclined || result == SeedResult::kRefused) return;
  if (result == SeedResult::kDone && !notes.empty()) ShowNotes(notes);
  exit_status = result == SeedResult::kDone ? 0 : 1;
  done(exit_status == 0 ? QDialog::Accepted : QDialog::Rejected);
}
