#include "lists/ui/trade_history_window.h"

#include <QEvent>
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

#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourites.h"
#include "lists/list_settings.h"
#include "lists/list_sort.h"
#include "lists/trade_history.h"
#include "lists/ui/user_list_windows.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "platform/qt/dialog_controls.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "platform/qt/window_in_use.h"

namespace {

RirekiWindow* g_window = nullptr;
int g_sort_state[RIREKI_COLUMNS] = {};
// The editable fields: share, buy date, buy price, sell date, sell price, cost, memo.
constexpr int EDIT_IDS[7] = {1251, 1248, 1252, 1249, 1087, 1088, 1253};

QLineEdit* FieldOf(QWidget* w, int id) { return w->findChild<QLineEdit*>(QString::number(id)); }

}  // namespace

RirekiWindow::RirekiWindow() : QDialog(nullptr) {
  setObjectName(u"RIREKI_LIST"_qs);
  setWindowTitle(u"取引履歴"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  list_ = new QTableView(this);
  list_->setObjectName(u"1254"_qs);
  model_ = new ReportListModel({{u"ｺｰﾄﾞ"_qs, 40, Qt::AlignRight},
                                {u"銘柄"_qs, 70, Qt::AlignLeft},
                                {u"株数"_qs, 60, Qt::AlignRight},
                                {u"購入日"_qs, 75, Qt::AlignRight},
                                {u"購入価格"_qs, 65, Qt::AlignRight},
                                {u"売却日"_qs, 75, Qt::AlignRight},
                                {u"売却価格"_qs, 65, Qt::AlignRight},
                                {u"税金等"_qs, 50, Qt::AlignRight},
                                {u"損益"_qs, 65, Qt::AlignRight}},
                               this);
  QGridLayout* grid = AddMovableList(this, layout, list_, model_, u"総損益"_qs, 1255, [this](int by) { Move(by); });
  const QString labels[7] = {u"株数"_qs, u"購入日"_qs, u"購入価格"_qs, u"売却日"_qs,
                             u"売却価格"_qs, u"税金等"_qs, u"メモ"_qs};
  for (int k = 0; k < 7; ++k) {
    grid->addWidget(new QLabel(labels[k], this), 1 + k / 2, (k % 2) * 2);
    QLineEdit* f = IdField(this, EDIT_IDS[k]);
    grid->addWidget(f, 1 + k / 2, (k % 2) * 2 + 1);
    f->installEventFilter(this);
  }
  FieldOf(this, 1248)->setMaxLength(14);
  FieldOf(this, 1249)->setMaxLength(14);
  FieldOf(this, 1253)->setMaxLength(199);
  grid->addWidget(new QLabel(u"損益"_qs, this), 4, 2);
  grid->addWidget(IdField(this, 1250, true), 4, 3);
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  QPushButton* copy = IdButton(this, u"コピー"_qs, 40030);
  QPushButton* add = IdButton(this, u"現在の表示銘柄を履歴に追加"_qs, IDM_RIREKI_ADD);
  QPushButton* commit = IdButton(this, u"確定"_qs, 1039);
  QPushButton* del = IdButton(this, u"削除"_qs, 1043);
  QPushButton* close_b = IdButton(this, u"閉じる"_qs, 2);
  for (QPushButton* b : {copy, add, commit, del, close_b}) buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(copy, &QPushButton::clicked, this, &RirekiWindow::Copy);
  connect(add, &QPushButton::clicked, this, [this] {
    WindowInUse in_use(this);  // the command asks first
    OnCommand(IDM_RIREKI_ADD);
  });
  connect(commit, &QPushButton::clicked, this, &RirekiWindow::Commit);
  connect(del, &QPushButton::clicked, this, &RirekiWindow::Delete);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RirekiWindow::ShowDetails);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &RirekiWindow::Sort);

  if (UserListPlacement().apply) UserListPlacement().apply(this, PLACE_HISTORY);
  Refill();
  list_->setFocus();
}

RirekiWindow::~RirekiWindow() {
  if (UserListPlacement().read) UserListPlacement().read(this, PLACE_HISTORY);
  if (g_window == this) g_window = nullptr;
}

int RirekiWindow::SelectedRecord() const {
  const std::vector<int> rows = SelectedReportRows(list_);
  return rows.empty() || rows[0] >= Rireki_Num ? -1 : rows[0];
}

void RirekiWindow::Refill() {
  std::vector<std::vector<std::string>> rows;
  std::vector<uint32_t> bands;
  for (int i = 0; i < Rireki_Num; ++i) {
    rows.push_back(RirekiRow(&rireki[i]));
    bands.push_back(ProfitBandRgb(ProfitBand(rireki[i].Profit, rireki[i].BuyPrice, rireki[i].Share)));
  }
  model_->SetRows(std::move(rows));
  if (FavoriteBackColor) model_->SetRowBackgrounds(std::move(bands));
  ShowDetails();
}

void RirekiWindow::ShowDetails() {
  FieldOf(this, 1255)->setText(FromCp932(CommaAdd(PriceRireki())));
  const int i = SelectedRecord();
  const bool on = i >= 0;
  for (int id : EDIT_IDS) FieldOf(this, id)->setEnabled(on);
  findChild<QPushButton*>(u"1039"_qs)->setEnabled(on);
  if (!on) {
    for (int id : EDIT_IDS) FieldOf(this, id)->clear();
    FieldOf(this, 1250)->clear();
    return;
  }
  const Rireki& r = rireki[i];
  FieldOf(this, 1251)->setText(QString::number(r.Share));
  FieldOf(this, 1248)->setText(FromCp932(r.BuyDate));
  FieldOf(this, 1252)->setText(QString::number(r.BuyPrice));
  FieldOf(this, 1249)->setText(FromCp932(r.SellDate));
  FieldOf(this, 1087)->setText(QString::number(r.SellPrice));
  FieldOf(this, 1088)->setText(QString::number(r.Cost));
  FieldOf(this, 1250)->setText(FromCp932(CommaAdd(r.Profit)));
  FieldOf(this, 1253)->setText(FromCp932(r.Memo));
  const int s = Code_to_StockNum(r.Code);
  if (s >= 0) FollowStock(s);
}

void RirekiWindow::Commit() {
  const int i = SelectedRecord();
  if (i < 0 || committing_) return;
  committing_ = true;
  CommitRireki(i, FieldInt(FieldOf(this, 1251)), ToCp932(FieldOf(this, 1248)->text()).c_str(),
               FieldInt(FieldOf(this, 1252)), ToCp932(FieldOf(this, 1249)->text()).c_str(),
               FieldInt(FieldOf(this, 1087)), FieldInt(FieldOf(this, 1088)),
               ToCp932(FieldOf(this, 1253)->text()).c_str());
  model_->SetRow(i, RirekiRow(&rireki[i]));
  FieldOf(this, 1250)->setText(FromCp932(CommaAdd(rireki[i].Profit)));
  FieldOf(this, 1255)->setText(FromCp932(CommaAdd(PriceRireki())));
  committing_ = false;
}

void RirekiWindow::Delete() {
  WindowInUse in_use(this);
  const std::vector<int> rows = SelectedReportRows(list_);
  if (rows.empty()) return;
  char question[200];
  if (rows.size() == 1) {
    const Rireki& r = rireki[rows[0]];
    std::snprintf(question, sizeof question, "%s(%s)を「取引履歴」から削除しますか？", r.Name,
                  Code_to_String(r.Code).c_str());
  } else {
    std::snprintf(question, sizeof question, "%d銘柄を「取引履歴」から削除しますか？", static_cast<int>(rows.size()));
  }
  if (HostMessageBox(question, "確認", MB_OKCANCEL | MB_DEFBUTTON2) != IDOK) return;
  DeleteRirekiRecords(rows);
  Refill();
}

void RirekiWindow::Move(int direction) {
  const int i = SelectedRecord();
  if (i < 0) return;
  const int j = MoveRireki(i, direction);
  if (j < 0) return;
  Refill();
  SelectReportRow(list_, j);
  list_->setFocus();
}

void RirekiWindow::Sort(int column) {
  if (column < 0 || column >= RIREKI_COLUMNS) return;
  SortRireki(column, ToggleListSort(&g_sort_state[column]));
  Refill();
}

void RirekiWindow::Copy() { CopyTextToClipboard(RirekiCopyText()); }

bool RirekiWindow::eventFilter(QObject* obj, QEvent* ev) {
  if (ev->type() == QEvent::FocusOut) Commit();
  return QDialog::eventFilter(obj, ev);
}

RirekiWindow* OpenRirekiWindow() { return g_window; }

void CloseRirekiWindow() {
  RirekiWindow* w = g_window;
  g_window = nullptr;
  CloseWindowSafely(w);
}

void ToggleRirekiWindow() {
  if (g_window) {
    CloseRirekiWindow();
    return;
  }
  g_window = new RirekiWindow();
  g_window->show();
}

bool AddRirekiAndRefresh(int code, int favourite) {
  if (!AddRireki(code, favourite)) return false;
  if (g_window) g_window->Refill();
  return true;
}
