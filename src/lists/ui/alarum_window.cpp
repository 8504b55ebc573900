#include "lists/ui/alarum_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>
#include <utility>

#include "chart/chart_repaint.h"
#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/list_settings.h"
#include "lists/list_sort.h"
#include "lists/price_alerts.h"
#include "lists/ui/user_list_windows.h"
#include "platform/host.h"
#include "platform/qt/dialog_controls.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "platform/qt/window_in_use.h"

namespace {

AlarumWindow* g_window = nullptr;
int g_sort_state[ALARUM_COLUMNS] = {};

QLineEdit* FieldOf(QWidget* w, int id) { return w->findChild<QLineEdit*>(QString::number(id)); }
QCheckBox* CheckOf(QWidget* w, int id) { return w->findChild<QCheckBox*>(QString::number(id)); }

}  // namespace

AlarumWindow::AlarumWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(u"ALARUM_LIST"_qs);
  setWindowTitle(u"株価お知らせ"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* checks = new QHBoxLayout;
  hits_only_ = IdCheck(this, u"反応した銘柄のみを表示"_qs, 1357);
  at_start_ = IdCheck(this, u"起動時に表示"_qs, 1363);
  checks->addWidget(hits_only_);
  checks->addWidget(at_start_);
  layout->addLayout(checks);
  list_ = new QTableView(this);
  list_->setObjectName(u"1352"_qs);
  model_ = new ReportListModel({{u"ｺｰﾄﾞ"_qs, 40, Qt::AlignRight},
                                {u"銘柄"_qs, 80, Qt::AlignLeft},
                                {u"株価"_qs, 65, Qt::AlignRight},
                                {u"利食い価格"_qs, 75, Qt::AlignRight},
                                {u"損切り価格"_qs, 75, Qt::AlignRight}},
                               this);
  QGridLayout* grid = AddMovableList(this, layout, list_, model_, u"現在値"_qs, 1355, [this](int by) { Move(by); });
  grid->addWidget(IdCheck(this, QString(), 1360), 1, 0);
  grid->addWidget(IdField(this, 1359), 1, 1, 1, 2);
  grid->addWidget(new QLabel(u"円以上で表示。（利食い）"_qs, this), 1, 3);
  grid->addWidget(IdCheck(this, QString(), 1358), 2, 0);
  grid->addWidget(IdField(this, 1361), 2, 1, 1, 2);
  grid->addWidget(new QLabel(u"円以下で表示。（損切り）"_qs, this), 2, 3);
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  QPushButton* commit = IdButton(this, u"確定"_qs, 1039);
  QPushButton* del = IdButton(this, u"削除"_qs, 1043);
  QPushButton* close_b = IdButton(this, u"閉じる"_qs, 2);
  for (QPushButton* b : {commit, del, close_b}) buttons->addWidget(b);
  layout->addLayout(buttons);

  hits_only_->setChecked(AlarumCheck != 0);
  at_start_->setChecked(KidouView != 0);
  connect(hits_only_, &QCheckBox::clicked, this, &AlarumWindow::HitsOnlySwitched);
  connect(CheckOf(this, 1358), &QCheckBox::clicked, this, [this] { LevelSwitched(true); });
  connect(CheckOf(this, 1360), &QCheckBox::clicked, this, [this] { LevelSwitched(false); });
  connect(commit, &QPushButton::clicked, this, &AlarumWindow::Commit);
  connect(del, &QPushButton::clicked, this, &AlarumWindow::Delete);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &AlarumWindow::ShowDetails);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &AlarumWindow::Sort);
  Refill();
  list_->setFocus();
}

AlarumWindow::~AlarumWindow() {
  AlarumCheck = hits_only_->isChecked() ? 1 : 0;
  KidouView = at_start_->isChecked() ? 1 : 0;
  if (g_window == this) g_window = nullptr;
}

int AlarumWindow::RecordOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(records_.size()) ? records_[row] : -1;
}

int AlarumWindow::SelectedRecord() const {
  const std::vector<int> rows = SelectedReportRows(list_);
  return rows.empty() ? -1 : RecordOfRow(rows[0]);
}

void AlarumWindow::SelectRecord(int index) {
  for (size_t r = 0; r < records_.size(); ++r)
    if (records_[r] == index) SelectReportRow(list_, static_cast<int>(r));
}

void AlarumWindow::Refill() {
  records_ = ShownAlarums(hits_only_->isChecked());
  std::vector<std::vector<std::string>> rows;
  for (int i : records_) rows.push_back(AlarumRow(alarum[i]));
  model_->SetRows(std::move(rows));
  ShowDetails();
}

void AlarumWindow::ShowDetails() {
  const int i = SelectedRecord();
  QLineEdit* now = FieldOf(this, 1355);
  QCheckBox* c1 = CheckOf(this, 1358);
  QCheckBox* c2 = CheckOf(this, 1360);
  QLineEdit* p1 = FieldOf(this, 1361);
  QLineEdit* p2 = FieldOf(this, 1359);
  if (i < 0) {
    for (QLineEdit* f : {now, p1, p2}) f->clear();
    for (QCheckBox* c : {c1, c2}) c->setChecked(false);
    for (QWidget* w : std::initializer_list<QWidget*>{c1, c2, p1, p2}) w->setEnabled(false);
    return;
  }
  const Alarum& a = alarum[i];
  now->setText(QString::number(a.NowPrice));
  c1->setEnabled(true);
  c2->setEnabled(true);
  c1->setChecked(a.Check1 != 0);
  c2->setChecked(a.Check2 != 0);
  p1->setText(QString::number(a.Price1));
  p2->setText(QString::number(a.Price2));
  p1->setEnabled(a.Check1 != 0);
  p2->setEnabled(a.Check2 != 0);
  const int s = Code_to_StockNum(a.Code);
  if (s >= 0) FollowStock(s);
}

void AlarumWindow::LevelSwitched(bool stop_loss) {
  const int i = SelectedRecord();
  if (i < 0) return;
  if (stop_loss) alarum[i].Check1 = CheckOf(this, 1358)->isChecked() ? 1 : 0;
  else alarum[i].Check2 = CheckOf(this, 1360)->isChecked() ? 1 : 0;
  Refill();
  SelectRecord(i);
  RequestChartRepaint();
}

void AlarumWindow::Commit() {
  const int i = SelectedRecord();
  if (i < 0) return;
  alarum[i].Price1 = FieldInt(FieldOf(this, 1361));
  alarum[i].Price2 = FieldInt(FieldOf(this, 1359));
  CheckAlarum();
  Refill();
  SelectRecord(i);
  RequestChartRepaint();
}

void AlarumWindow::Delete() {
  WindowInUse in_use(this);
  const std::vector<int> rows = SelectedReportRows(list_);
  if (rows.empty()) return;
  char question[200];
  if (rows.size() == 1) {
    const Alarum& a = alarum[RecordOfRow(rows[0])];
    std::snprintf(question, sizeof question, "%s(%s)を「株価お知らせ」から削除しますか？", a.Name,
                  Code_to_String(a.Code).c_str());
  } else {
    std::snprintf(question, sizeof question, "%d銘柄を「株価お知らせ」から削除しますか？",
                  static_cast<int>(rows.size()));
  }
  if (HostMessageBox(question, "確認", MB_OKCANCEL | MB_DEFBUTTON2) != IDOK) return;
  std::vector<int> gone;
  for (int r : rows) gone.push_back(RecordOfRow(r));
  DeleteAlarumRecords(gone);
  Refill();
  RequestChartRepaint();
}

void AlarumWindow::Move(int direction) {
  const std::vector<int> rows = SelectedReportRows(list_);
  if (rows.empty()) return;
  const int r = rows[0] + (direction < 0 ? -1 : 1);
  if (r < 0 || r >= static_cast<int>(records_.size())) return;  // first (last) shown row
  const int i = records_[rows[0]], j = records_[r];
  std::swap(alarum[i], alarum[j]);
  Refill();
  SelectRecord(j);
  list_->setFocus();
}

void AlarumWindow::Sort(int column) {
  if (column < 0 || column >= ALARUM_COLUMNS) return;
  SortAlarum(column, ToggleListSort(&g_sort_state[column]));
  Refill();
}

void AlarumWindow::HitsOnlySwitched() {
  if (hits_only_->isChecked()) CheckAlarum();
  Refill();
}

AlarumWindow* OpenAlarumWindow() { return g_window; }

void CloseAlarumWindow() {
  AlarumWindow* w = g_window;
  g_window = nullptr;
  CloseWindowSafely(w);
}

void ToggleAlarumWindow() {
  if (g_window) {
    CloseAlarumWindow();
    return;
  }
  g_window = new AlarumWindow(UserListOwner());
  g_window->show();
}

void AlarumChecked(int hits) {
  if (g_window) {
    g_window->Refill();
    return;
  }
  if (hits <= 0) return;
  AlarumCheck = 1;
  g_window = new AlarumWindow(UserListOwner());
  g_window->show();
}

// --- the add dialog ---------------------------------------------------------------------------

void RunAlarumAdd(int stock_num, int base) {
  if (stock_num < 0 || stock_num >= LastKabu) return;
  if (AlarumOfCode(fundamental[stock_num].code) >= 0) {
    HostMessageBox("既に登録済みです。", "重複登録", MB_OK);
    return;
  }
  AlarumAddDialog dlg(UserListOwner(), stock_num, base);
  dlg.exec();
}

AlarumAddDialog::AlarumAddDialog(QWidget* owner, int stock_num, int base) : QDialog(owner), stock_(stock_num) {
  setObjectName(u"ALARUM_TUIKA"_qs);
  setWindowTitle(u"「株価お知らせ」へ追加"_qs);
  auto* layout = new QVBoxLayout(this);
  char line[160];
  std::snprintf(line, sizeof line, "%s(%s)を「株価お知らせ」に追加します。", fundamental[stock_num].name,
                Code_to_String(fundamental[stock_num].code).c_str());
  auto* text = new QLabel(FromCp932(line), this);
  text->setObjectName(u"1236"_qs);
  layout->addWidget(text);
  auto* grid = new QGridLayout;
  QLineEdit* base_f = IdField(this, 1199);
  base_f->setText(QString::number(base));
  grid->addWidget(base_f, 0, 0);
  grid->addWidget(new QLabel(u"に対して"_qs, this), 0, 1);
  grid->addWidget(new QLabel(u"利食い　＋"_qs, this), 1, 0);
  QLineEdit* rigui = IdField(this, 1197);
  rigui->setText(QString::number(RiguiRitu));
  grid->addWidget(rigui, 1, 1);
  grid->addWidget(new QLabel(u"%"_qs, this), 1, 2);
  grid->addWidget(new QLabel(u"損切り　－"_qs, this), 2, 0);
  QLineEdit* sonkiri = IdField(this, 1198);
  sonkiri->setText(QString::number(-SonkiriRitu));  // held negative, shown positive
  grid->addWidget(sonkiri, 2, 1);
  grid->addWidget(new QLabel(u"%"_qs, this), 2, 2);
  layout->addLayout(grid);
  auto* box = new QDialogButtonBox(this);
  QPushButton* ok = box->addButton(u"ＯＫ"_qs, QDialogButtonBox::AcceptRole);
  QPushButton* cancel = box->addButton(u"キャンセル"_qs, QDialogButtonBox::RejectRole);
  ok->setObjectName(u"1"_qs);
  cancel->setObjectName(u"2"_qs);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &AlarumAddDialog::Ok);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void AlarumAddDialog::Ok() {
  const int rigui = FieldInt(FieldOf(this, 1197));
  const int sonkiri = FieldInt(FieldOf(this, 1198));
  if (rigui < 0 || rigui > RIGUI_RITU_MAX || sonkiri < 0 || sonkiri > SONKIRI_RITU_MAX) {
    char msg[160];
    std::snprintf(msg, sizeof msg, "利食いは0～%d%%、損切りは0～%d%%の範囲で入力してください。", RIGUI_RITU_MAX,
                  SONKIRI_RITU_MAX);
    HostMessageBox(msg, "入力エラー", MB_OK | MB_ICONWARNING);
    return;
  }
  RiguiRitu = rigui;
  SonkiriRitu = -sonkiri;
  if (AppendAlarum(stock_, FieldInt(FieldOf(this, 1199)), rigui, sonkiri) && g_window) g_window->Refill();
  accept();
  ShowStock(stock_);
}
