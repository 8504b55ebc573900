#include "lists/ui/favourite_window.h"

#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourite_add.h"
#include "lists/favourites.h"
#include "lists/list_settings.h"
#include "lists/list_sort.h"
#include "lists/screening_snapshot.h"
#include "lists/ui/alarum_window.h"
#include "lists/ui/trade_history_window.h"
#include "lists/ui/user_list_windows.h"
#include "platform/codepage.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/dialog_controls.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "platform/qt/window_in_use.h"

namespace {

TyumokuWindow* g_window = nullptr;
int g_sort_state[TYUMOKU_COLUMNS] = {};

QString Text(const char* cp932) { return FromCp932(cp932); }
QString Text(const std::string& cp932) { return FromCp932(cp932); }

void FillFolderBox(QComboBox* box) {
  const QSignalBlocker block(box);
  box->clear();
  for (int g = 0; g < Group_Num; ++g) box->addItem(FromCp932(GroupName[g]));
  box->setCurrentIndex(Group_Select >= 0 && Group_Select < Group_Num ? Group_Select : 0);
}

QLineEdit* FieldOf(QWidget* w, int id) { return w->findChild<QLineEdit*>(QString::number(id)); }

}  // namespace

// --- the window ------------------------------------------------------------------------------

TyumokuWindow::TyumokuWindow() : QDialog(nullptr) {
  setObjectName(u"TYUMOKU_LIST"_qs);
  setWindowTitle(u"お気に入り銘柄"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  folders_ = new QComboBox(this);
  folders_->setObjectName(u"1238"_qs);
  QPushButton* organise = IdButton(this, u"フォルダの整理"_qs, 1042);
  top->addWidget(folders_, 1);
  top->addWidget(organise);
  layout->addLayout(top);

  list_ = new QTableView(this);
  list_->setObjectName(u"40084"_qs);
  model_ = new ReportListModel({{u"ｺｰﾄﾞ"_qs, 40, Qt::AlignRight},
                                {u"銘柄"_qs, 80, Qt::AlignLeft},
                                {u"購入株価"_qs, 70, Qt::AlignRight},
                                {u"保有株数"_qs, 70, Qt::AlignRight},
                                {u"時価"_qs, 80, Qt::AlignRight},
                                {u"損益"_qs, 75, Qt::AlignRight},
                                {u"購入日"_qs, 78, Qt::AlignRight}},
                               this);
  SetupReportView(list_, model_);
  list_->installEventFilter(this);
  layout->addWidget(list_, 1);

  auto* moves = new QHBoxLayout;
  QPushButton* up = IdButton(this, u"▲"_qs, 1046);
  QPushButton* down = IdButton(this, u"▼"_qs, 1045);
  QPushButton* other = IdButton(this, u"別フォルダへ"_qs, 1041);
  QPushButton* history = IdButton(this, u"取引履歴へ"_qs, 1044);
  QPushButton* alarum = IdButton(this, u"株価お知らせへ"_qs, 1047);
  for (QPushButton* b : {up, down, other, history, alarum}) moves->addWidget(b);
  layout->addLayout(moves);

  auto* grid = new QGridLayout;
  auto add_field = [&](int row, int col, const QString& label, int id, bool read_only) {
    grid->addWidget(new QLabel(label, this), row, col * 2);
    QLineEdit* f = IdField(this, id, read_only);
    grid->addWidget(f, row, col * 2 + 1);
    return f;
  };
  add_field(0, 0, u"時価総額"_qs, 1095, true);
  add_field(0, 1, u"総損益"_qs, 1085, true);
  add_field(1, 0, u"購入価格"_qs, 1081, false);
  add_field(1, 1, u"株数"_qs, 1082, false);
  add_field(2, 0, u"購入日"_qs, 1083, false);
  add_field(2, 1, u"時価"_qs, 1086, true);
  add_field(3, 0, u"損益"_qs, 1084, true);
  add_field(3, 1, u"メモ"_qs, 1094, false)->setMaxLength(99);
  FieldOf(this, 1083)->setMaxLength(14);
  day_label_ = new QLabel(this);
  day_label_->setObjectName(u"1237"_qs);
  grid->addWidget(day_label_, 4, 0, 1, 4);
  add_field(5, 0, u"始値"_qs, 1076, true);
  add_field(5, 1, u"高値"_qs, 1075, true);
  add_field(6, 0, u"安値"_qs, 1074, true);
  add_field(6, 1, u"終値"_qs, 1073, true);
  layout->addLayout(grid);
  for (int id : {1081, 1082, 1083, 1094}) FieldOf(this, id)->installEventFilter(this);

  auto* buttons = new QHBoxLayout;
  QPushButton* copy_paste = IdButton(this, u"コピーと貼り付け"_qs, 40030);
  QPushButton* commit = IdButton(this, u"確定"_qs, 1039);
  QPushButton* del = IdButton(this, u"削除"_qs, 1043);
  QPushButton* close_b = IdButton(this, u"閉じる"_qs, 2);
  for (QPushButton* b : {copy_paste, commit, del, close_b}) buttons->addWidget(b);
  layout->addLayout(buttons);

  copy_paste_ = new QMenu(this);
  copy_paste_->setObjectName(u"COPY_PASTE"_qs);
  connect(copy_paste_->addAction(u"コピー(&C)"_qs), &QAction::triggered, this, &TyumokuWindow::Copy);
  connect(copy_paste_->addAction(u"貼り付け(銘柄コード＋改行、で複数行)(&P)"_qs), &QAction::triggered, this,
          &TyumokuWindow::Paste);

  connect(folders_, &QComboBox::activated, this, &TyumokuWindow::FolderChosen);
  connect(organise, &QPushButton::clicked, this, &TyumokuWindow::OrganiseFolders);
  connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
  connect(down, &QPushButton::clicked, this, [this] { Move(1); });
  connect(other, &QPushButton::clicked, this, &TyumokuWindow::ToOtherFolder);
  connect(history, &QPushButton::clicked, this, &TyumokuWindow::ToHistory);
  connect(alarum, &QPushButton::clicked, this, &TyumokuWindow::ToAlarum);
  connect(copy_paste, &QPushButton::clicked, this, [this] { copy_paste_->popup(QCursor::pos()); });
  connect(commit, &QPushButton::clicked, this, &TyumokuWindow::Commit);
  connect(del, &QPushButton::clicked, this, &TyumokuWindow::Delete);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TyumokuWindow::ShowDetails);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TyumokuWindow::Sort);

  if (UserListPlacement().apply) UserListPlacement().apply(this, PLACE_FAVOURITES);
  Refill();
  list_->setFocus();
}

TyumokuWindow::~TyumokuWindow() {
  if (UserListPlacement().read) UserListPlacement().read(this, PLACE_FAVOURITES);
  if (g_window == this) g_window = nullptr;
  RebuildTyumokuMenu();
}

int TyumokuWindow::RecordOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(records_.size()) ? records_[row] : -1;
}

int TyumokuWindow::SelectedRecord() const {
  const std::vector<int> rows = SelectedReportRows(list_);
  return rows.empty() ? -1 : RecordOfRow(rows[0]);
}

void TyumokuWindow::Refill() {
  FillFolderBox(folders_);
  PriceFolder(Group_Select);
  records_ = FolderRecords(Group_Select);
  std::vector<std::vector<std::string>> rows;
  std::vector<uint32_t> bands;
  rows.reserve(records_.size());
  for (int i : records_) {
    const Tyumoku& t = tyumoku[i];
    rows.push_back(TyumokuRow(t));
    bands.push_back(ProfitBandRgb(ProfitBand(t.Profit, t.Price, t.Share)));
  }
  model_->SetRows(std::move(rows));
  if (FavoriteBackColor) model_->SetRowBackgrounds(std::move(bands));
  ShowDetails();
}

void TyumokuWindow::FolderChosen(int index) {
  if (index < 0 || index >= Group_Num) return;
  Group_Select = index;
  Refill();
  RebuildTyumokuMenu();
}

void TyumokuWindow::ShowDetails() {
  const FolderTotals totals = PriceFolder(Group_Select);
  FieldOf(this, 1095)->setText(Text(CommaAdd(totals.value)));
  FieldOf(this, 1085)->setText(Text(CommaAdd(totals.profit)));
  const int i = SelectedRecord();
  if (i < 0) {
    for (int id : {1081, 1082, 1083, 1094, 1086, 1084, 1076, 1075, 1074, 1073}) FieldOf(this, id)->clear();
    day_label_->clear();
    return;
  }
  const Tyumoku& t = tyumoku[i];
  day_label_->setText(Text(LastTradingDayText() + " の株価"));
  const int s = Code_to_StockNum(t.Code);
  int32_t four[4] = {0, 0, 0, 0};  // open, high, low, close of the last day
  if (s >= 0) {
    four[0] = Packed_to_Value(pht[s].open[PHT_LAST]);
    four[1] = Packed_to_Value(pht[s].high[PHT_LAST]);
    four[2] = Packed_to_Value(pht[s].low[PHT_LAST]);
    four[3] = Packed_to_Value(pht[s].close[PHT_LAST]);
    if (four[3] == 0) four[0] = four[1] = four[2] = four[3] = LatestNonZeroClose(s);
  }
  const int ids[4] = {1076, 1075, 1074, 1073};
  for (int k = 0; k < 4; ++k) FieldOf(this, ids[k])->setText(Text(CommaAdd(four[k])));
  FieldOf(this, 1081)->setText(QString::number(t.Price));
  FieldOf(this, 1082)->setText(QString::number(t.Share));
  FieldOf(this, 1086)->setText(Text(CommaAdd(t.Value)));
  FieldOf(this, 1084)->setText(Text(CommaAdd(t.Profit)));
  FieldOf(this, 1083)->setText(Text(t.Date));
  FieldOf(this, 1094)->setText(Text(t.Memo));
  if (s >= 0) FollowStock(s);
}

void TyumokuWindow::Commit() {
  const int i = SelectedRecord();
  if (i < 0 || committing_) return;
  committing_ = true;
  CommitTyumoku(i, FieldInt(FieldOf(this, 1081)), FieldInt(FieldOf(this, 1082)),
                ToCp932(FieldOf(this, 1083)->text()).c_str(), ToCp932(FieldOf(this, 1094)->text()).c_str());
  const std::vector<int> rows = SelectedReportRows(list_);
  model_->SetRow(rows[0], TyumokuRow(tyumoku[i]));
  const FolderTotals totals = PriceFolder(Group_Select);
  FieldOf(this, 1095)->setText(Text(CommaAdd(totals.value)));
  FieldOf(this, 1085)->setText(Text(CommaAdd(totals.profit)));
  FieldOf(this, 1086)->setText(Text(CommaAdd(tyumoku[i].Value)));
  FieldOf(this, 1084)->setText(Text(CommaAdd(tyumoku[i].Profit)));
  committing_ = false;
}

void TyumokuWindow::Delete() {
  WindowInUse in_use(this);
  const std::vector<int> rows = SelectedReportRows(list_);
  if (rows.empty()) return;
  char question[128];
  std::snprintf(question, sizeof question, "選択された %d 個の銘柄をお気に入りから削除しますか？",
                static_cast<int>(rows.size()));
  if (HostMessageBox(question, "確認", MB_OKCANCEL | MB_DEFBUTTON2) != IDOK) return;
  std::vector<int> gone;
  for (int r : rows) gone.push_back(RecordOfRow(r));
  DeleteTyumokuRecords(gone);
  Refill();
  RebuildTyumokuMenu();
}

void TyumokuWindow::Move(int direction) {
  const int i = SelectedRecord();
  if (i < 0) return;
  const int j = MoveTyumokuInFolder(i, direction);
  if (j < 0) return;
  Refill();
  for (size_t r = 0; r < records_.size(); ++r)
    if (records_[r] == j) SelectReportRow(list_, static_cast<int>(r));
  list_->setFocus();
  RebuildTyumokuMenu();
}

void TyumokuWindow::ToOtherFolder() {
  const int i = SelectedRecord();
  if (i < 0) return;
  WindowInUse in_use(this);
  TyumokuMoveDialog dlg(this, i);
  if (dlg.exec() == QDialog::Accepted) {
    Refill();
    RebuildTyumokuMenu();
  }
}

void TyumokuWindow::ToHistory() {
  // Only the favourite moved leaves the favourites, whatever else is selected.
  const int i = SelectedRecord();
  if (i < 0) return;
  WindowInUse in_use(this);
  if (!AddRirekiAndRefresh(tyumoku[i].Code, i)) return;
  if (HostMessageBox("選択された 1 個の銘柄をお気に入りから削除しますか？", "確認", MB_OKCANCEL | MB_DEFBUTTON2) !=
      IDOK)
    return;
  DeleteTyumokuRecords({i});
  Refill();
  RebuildTyumokuMenu();
}

void TyumokuWindow::ToAlarum() {
  const int i = SelectedRecord();
  if (i < 0) return;
  const int s = Code_to_StockNum(tyumoku[i].Code);
  if (s < 0) return;
  WindowInUse in_use(this);
  RunAlarumAdd(s, tyumoku[i].Price);
}

void TyumokuWindow::OrganiseFolders() {
  WindowInUse in_use(this);
  TyumokuGroupDialog dlg(this);
  dlg.exec();
  Refill();
  RebuildTyumokuMenu();
}

void TyumokuWindow::Sort(int column) {
  if (column < 0 || column >= TYUMOKU_COLUMNS) return;
  const int state = ToggleListSort(&g_sort_state[column]);
  PriceFolder(Group_Select);
  SortTyumokuFolder(Group_Select, column, state);
  Refill();
  RebuildTyumokuMenu();
}

void TyumokuWindow::Copy() { CopyTextToClipboard(TyumokuCopyText(Group_Select)); }

void TyumokuWindow::Paste() {
  WindowInUse in_use(this);  // the add closes this window
  std::string text;
  if (!HostGetClipboardText(text)) {
    PRT("クリップボードオープンの失敗です。\n");
    return;
  }
  PRT("クリップボードから読み込み。バイト数=%d\n", static_cast<int>(text.size()));
  const int n = CollectPastedCodes(text);
  PRT("paste sum=%d\n", n);
  if (n == 0) return;
  OnCommand(IDM_TYUMOKU_IMPORT);  // closes this window first
}

bool TyumokuWindow::eventFilter(QObject* obj, QEvent* ev) {
  if (obj == list_ && ev->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(ev)->key() == Qt::Key_Delete) {
    Delete();
    return true;
  }
  if (ev->type() == QEvent::FocusOut && obj != list_) Commit();
  return QDialog::eventFilter(obj, ev);
}

TyumokuWindow* OpenTyumokuWindow() { return g_window; }

void CloseTyumokuWindow() {
  TyumokuWindow* w = g_window;
  g_window = nullptr;
  CloseWindowSafely(w);
}

void ToggleTyumokuWindow() {
  if (g_window) {
    CloseTyumokuWindow();
    return;
  }
  g_window = new TyumokuWindow();
  g_window->show();
}

// --- the add dialog ---------------------------------------------------------------------------

void RunTyumokuAdd(int code) {
  int stock = -1;
  if (code != -1) {
    stock = Code_to_StockNum(code);
    if (stock < 0) {
      HostMessageBox("この銘柄コード　DBに存在しません。", "警告", MB_OK);
      return;
    }
    std::fill(std::begin(SelectCode), std::end(SelectCode), -1);
    SelectCode[0] = code;
  } else if (CountSelectCodes() == 0) {
    return;
  }
  if (g_window) {
    g_window->hide();
    CloseTyumokuWindow();
  }
  TyumokuAddDialog dlg(UserListOwner(), stock);
  dlg.exec();
}

TyumokuAddDialog::TyumokuAddDialog(QWidget* owner, int stock) : QDialog(owner), stock_(stock) {
  setObjectName(u"TYUMOKU_TUIKA"_qs);
  setWindowTitle(u"お気に入りへ追加"_qs);
  auto* layout = new QVBoxLayout(this);
  char line[160];
  if (stock >= 0) {
    std::snprintf(line, sizeof line, "%s(%s)をお気に入りに追加します。", fundamental[stock].name,
                  Code_to_String(fundamental[stock].code).c_str());
  } else {
    std::snprintf(line, sizeof line, "選択された %d 銘柄を、全てお気に入りに追加します。", CountSelectCodes());
  }
  auto* text = new QLabel(FromCp932(line), this);
  text->setObjectName(u"1236"_qs);
  layout->addWidget(text);
  auto* grid = new QGridLayout;
  QLineEdit* price = IdField(this, 1243);
  QLineEdit* share = IdField(this, 1244);
  QLineEdit* date = IdField(this, 1245);
  date->setMaxLength(14);
  auto* folder = new QComboBox(this);
  folder->setObjectName(u"1246"_qs);
  FillFolderBox(folder);
  grid->addWidget(new QLabel(u"購入価格"_qs, this), 0, 0);
  grid->addWidget(price, 0, 1);
  grid->addWidget(new QLabel(u"株数"_qs, this), 1, 0);
  grid->addWidget(share, 1, 1);
  grid->addWidget(new QLabel(u"購入日"_qs, this), 2, 0);
  grid->addWidget(date, 2, 1);
  grid->addWidget(new QLabel(u"フォルダ"_qs, this), 3, 0);
  grid->addWidget(folder, 3, 1);
  layout->addLayout(grid);
  if (stock >= 0) {
    price->setText(QString::number(LatestNonZeroClose(stock)));
    share->setText(QString::number(fundamental[stock].tani));
  }
  date->setText(FromCp932(LastTradingDayText()));
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName(u"1"_qs);
  box->button(QDialogButtonBox::Cancel)->setObjectName(u"2"_qs);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &TyumokuAddDialog::Ok);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TyumokuAddDialog::Ok() {
  const auto* folder = findChild<QComboBox*>(u"1246"_qs);
  int added = 0;
  AddTyumokuFromSelectCode(folder->currentIndex(), stock_ >= 0, FieldInt(FieldOf(this, 1243)),
                           FieldInt(FieldOf(this, 1244)), ToCp932(FieldOf(this, 1245)->text()).c_str(), &added);
  accept();
}

// --- moving to another folder -----------------------------------------------------------------

TyumokuMoveDialog::TyumokuMoveDialog(QWidget* owner, int record) : QDialog(owner), record_(record) {
  setObjectName(u"TYUMOKU_HENKO"_qs);
  setWindowTitle(u"別のフォルダへ移動"_qs);
  const Tyumoku& t = tyumoku[record];
  auto* layout = new QVBoxLayout(this);
  char line[160];
  std::snprintf(line, sizeof line, "%s(%s) を別フォルダへ移動します。", t.Name, Code_to_String(t.Code).c_str());
  auto* text = new QLabel(FromCp932(line), this);
  text->setObjectName(u"1236"_qs);
  layout->addWidget(text);
  QLineEdit* from = IdField(this, 1100, true);
  if (t.Group >= 0 && t.Group < Group_Num) from->setText(FromCp932(GroupName[t.Group]));
  layout->addWidget(from);
  auto* folder = new QComboBox(this);
  folder->setObjectName(u"1246"_qs);
  FillFolderBox(folder);
  layout->addWidget(folder);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName(u"1"_qs);
  box->button(QDialogButtonBox::Cancel)->setObjectName(u"2"_qs);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &TyumokuMoveDialog::Ok);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TyumokuMoveDialog::Ok() {
  const int target = findChild<QComboBox*>(u"1246"_qs)->currentIndex();
  if (!MoveTyumokuToFolder(record_, target)) {
    char msg[200];
    std::snprintf(msg, sizeof msg, "この銘柄はすでに「%s」に含まれています。", GroupName[target]);
    HostMessageBox(msg, "注意", MB_OK);
    return;
  }
  accept();
}

// --- the folder dialog -----------------------------------------------------------------------

TyumokuGroupDialog::TyumokuGroupDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(u"TYUMOKU_GROUP"_qs);
  setWindowTitle(u"お気に入りフォルダの新規追加、削除、名称変更"_qs);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(this);
  text->setObjectName(u"1236"_qs);
  layout->addWidget(text);
  QLineEdit* name = IdField(this, 1100);
  name->setMaxLength(99);
  name->setText(FromCp932(GroupName[Group_Select]));
  layout->addWidget(name);
  auto* buttons = new QHBoxLayout;
  QPushButton* add = IdButton(this, u"新規追加"_qs, 1040);
  QPushButton* ok = IdButton(this, u"OK"_qs, 1);
  QPushButton* del = IdButton(this, u"削除"_qs, 1043);
  QPushButton* cancel = IdButton(this, u"キャンセル"_qs, 2);
  for (QPushButton* b : {add, ok, del, cancel}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &TyumokuGroupDialog::NewFolder);
  connect(ok, &QPushButton::clicked, this, &TyumokuGroupDialog::Ok);
  connect(del, &QPushButton::clicked, this, &TyumokuGroupDialog::DeleteFolder);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TyumokuGroupDialog::NewFolder() {
  if (!AddTyumokuFolder()) return;
  if (g_window) g_window->Refill();
  RebuildTyumokuMenu();
  FieldOf(this, 1100)->setText(FromCp932(GroupName[Group_Select]));
  findChild<QLabel*>(u"1236"_qs)->setText(u"以下のフォルダを作成しました。名前は変更できます。"_qs);
}

void TyumokuGroupDialog::Ok() {
  const std::string name = ToCp932(FieldOf(this, 1100)->text());
  Cp932CopyTruncated(GroupName[Group_Select], sizeof GroupName[0], name);
  MakeOneLine(GroupName[Group_Select]);
  accept();
}

void TyumokuGroupDialog::DeleteFolder() {
  if (Group_Num <= 1) {
    DeleteTyumokuFolder(Group_Select);  // says that the last folder stays
    return;
  }
  char question[200];
  std::snprintf(question, sizeof question, "「%s」を削除しますか？", GroupName[Group_Select]);
  if (HostMessageBox(question, "お気に入りフォルダの削除", MB_OKCANCEL | MB_DEFBUTTON2) != IDOK) return;
  DeleteTyumokuFolder(Group_Select);
  accept();
}
