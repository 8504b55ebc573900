#include "lists/ui/list_windows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>
#include <utility>

#include "chart/chart_repaint.h"
#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourite_add.h"
#include "lists/list_settings.h"
#include "lists/number_format.h"
#include "lists/ranking.h"
#include "lists/screening_engine.h"
#include "lists/stock_search.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/dialog_controls.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "platform/qt/window_in_use.h"
#include "shell/main_keys.h"
#include "shell/shell_commands.h"
#include "platform/hooks.h"

namespace {

// The main window; cleared when it goes away, so the search dialogs then open without a parent.
QPointer<QWidget> g_owner;
ListWindowPlacement g_placement;
ResultListWindow* g_result = nullptr;
RankingWindow* g_ranking = nullptr;
// The four choices of the last filled ranking, -1 until the first fill.
int g_last_fill[4] = {-1, -1, -1, -1};

constexpr size_t RESULT_CLIP_BYTES = 256000;
constexpr size_t RANKING_CLIP_BYTES = 2097152;

// Shows the stock of the first selected row unless the chart shows it already.
void FollowSelection(const QTableView* list, const std::vector<int>& stocks) {
  const std::vector<int> rows = SelectedReportRows(list);
  if (rows.empty() || rows[0] >= static_cast<int>(stocks.size())) return;
  const int s = stocks[rows[0]];
  if (s != DispNum) ShowListStock(s);
}

// The button row of the result and ranking lists: "コピー" (40030), "お気に入りへ" (1042) and
// "閉じる" (2), which closes the window.
void AddListButtons(QDialog* w, QVBoxLayout* layout, std::function<void()> copy, std::function<void()> to_favourites) {
  auto* buttons = new QHBoxLayout;
  QPushButton* copy_b = IdButton(w, u"コピー"_qs, 40030);
  QPushButton* fav_b = IdButton(w, u"お気に入りへ"_qs, 1042);
  QPushButton* close_b = IdButton(w, u"閉じる"_qs, 2);
  for (QPushButton* b : {copy_b, fav_b, close_b}) buttons->addWidget(b);
  layout->addLayout(buttons);
  QObject::connect(copy_b, &QPushButton::clicked, w, std::move(copy));
  QObject::connect(fav_b, &QPushButton::clicked, w, std::move(to_favourites));
  QObject::connect(close_b, &QPushButton::clicked, w, &QDialog::close);
}

// The code field keeps the caret after its text when it gets the focus: a dialog's first
// focus selects the whole field, and the next digit typed would replace the first one.
class CodeField final : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    deselect();
    end(false);
  }
};

void OpenCodeInput(int first_digit) {
  CodeInputDialog dlg(g_owner, first_digit);
  dlg.exec();
}

void OpenNameInput() {
  NameInputDialog dlg(g_owner);
  dlg.exec();
}

}  // namespace

// --- result list ----------------------------------------------------------------------------

ResultListWindow::ResultListWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(u"KENSAKUKEKA_LIST"_qs);
  setWindowTitle(u"検索結果"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  list_ = new QTableView(this);
  list_->setObjectName(u"1101"_qs);
  model_ = new ReportListModel({{u"コード"_qs, 50, Qt::AlignRight}, {u"銘柄"_qs, 100, Qt::AlignLeft}}, this);
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < KENSAKU_MAX && KensakuList[i] != -1; ++i) {
    const int s = KensakuList[i];
    if (s < 0 || s >= LastKabu) continue;
    stocks_.push_back(s);
    rows.push_back({Code_to_String(fundamental[s].code).c_str(), fundamental[s].name});
  }
  model_->SetRows(std::move(rows));
  SetupReportView(list_, model_);
  layout->addWidget(list_);
  auto* count_row = new QHBoxLayout;
  auto* count = new QLineEdit(QString::number(stocks_.size()), this);
  count->setObjectName(u"1102"_qs);
  count->setReadOnly(true);
  count_row->addWidget(count);
  count_row->addWidget(new QLabel(u"件"_qs, this));
  count_row->addWidget(new QLabel(u"(Ctrl,Shift) + クリックで複数選択可"_qs, this));
  layout->addLayout(count_row);
  AddListButtons(this, layout, [this] { Copy(); }, [this] { ToFavourites(); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ResultListWindow::SelectionChanged);
  if (g_placement.apply) g_placement.apply(this, 0);
  list_->setFocus();
}

ResultListWindow::~ResultListWindow() {
  if (g_placement.read) g_placement.read(this, 0);
  if (g_result == this) g_result = nullptr;
}

void ResultListWindow::SelectionChanged() { FollowSelection(list_, stocks_); }

void ResultListWindow::Copy() {
  ClipboardText clip(RESULT_CLIP_BYTES);
  for (int s : stocks_) ClipboardAppendf(&clip, "%s\t%s\r\n", Code_to_String(fundamental[s].code).c_str(), fundamental[s].name);
  CopyTextToClipboard(clip);
}

void ResultListWindow::ToFavourites() {
  const std::vector<int> rows = SelectedReportRows(list_);
  std::fill(std::begin(SelectCode), std::end(SelectCode), -1);
  for (int r : rows)
    if (r < SELECT_CODE_MAX) SelectCode[r] = fundamental[stocks_[r]].code;
  if (rows.empty()) return;
  if (rows.size() == 1) {
    AddToFavourites(fundamental[stocks_[rows[0]]].code);
    return;
  }
  PRT("複数選択の場合 num=%d\n", static_cast<int>(rows.size()));
  AddToFavourites(-1);
}

// --- ranking ----------------------------------------------------------------------------------

RankingWindow::RankingWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(u"JUNI_LIST"_qs);
  setWindowTitle(u"ランキング"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  char today[16] = "";
  if (LastDate > 0) {
    const int d = nikkei_date[LastDate - 1];
    std::snprintf(today, sizeof today, "%2d/%2d", d / 100 % 100, d % 100);
  }
  auto* now = new QLineEdit(FromCp932(today), this);
  now->setObjectName(u"1091"_qs);
  now->setReadOnly(true);
  grid->addWidget(new QLabel(u"現在"_qs, this), 0, 0);
  grid->addWidget(now, 0, 1);
  const int ids[4] = {1087, 1088, 1199, 1200};
  const QString labels[4] = {u"市場"_qs, u"業種"_qs, u"並び替え"_qs, QString()};
  for (int i = 0; i < 4; ++i) {
    combo_[i] = new QComboBox(this);
    combo_[i]->setObjectName(QString::number(ids[i]));
    if (!labels[i].isEmpty()) grid->addWidget(new QLabel(labels[i], this), 1 + i, 0);
    grid->addWidget(combo_[i], 1 + i - (i == 3 ? 1 : 0), i == 3 ? 2 : 1);
  }
  combo_[0]->addItem(u"指定なし"_qs);
  for (int m = 1; m < JUNI_MARKET_CHOICES; ++m) combo_[0]->addItem(FromCp932(MarketName[m]));
  combo_[1]->addItem(u"指定なし"_qs);
  for (int i = 0; i < INDUSTRY_COUNT; ++i) combo_[1]->addItem(FromCp932(IndustryName[i]));
  for (const char* k : JuniKeyName) combo_[2]->addItem(FromCp932(k));
  for (const char* o : JuniOrderName) combo_[3]->addItem(FromCp932(o));
  layout->addLayout(grid);

  list_ = new QTableView(this);
  list_->setObjectName(u"1092"_qs);
  model_ = new ReportListModel({{u"No"_qs, 30, Qt::AlignRight},
                                {u"%"_qs, 70, Qt::AlignRight},
                                {u"コード"_qs, 45, Qt::AlignLeft},
                                {u"銘柄"_qs, 80, Qt::AlignLeft}},
                               this);
  SetupReportView(list_, model_);
  layout->addWidget(list_);
  AddListButtons(this, layout, [this] { Copy(); }, [this] { ToFavourites(); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RankingWindow::SelectionChanged);
  if (g_placement.apply) g_placement.apply(this, 1);

  for (int i = 0; i < 4; ++i) {
    const int v = JuniParameter[i];
    combo_[i]->setCurrentIndex(v >= 0 && v < combo_[i]->count() ? v : 0);
  }
  Refresh(true);
  for (QComboBox* c : combo_)
    connect(c, &QComboBox::currentIndexChanged, this, [this] { Refresh(false); });
  list_->setFocus();
}

RankingWindow::~RankingWindow() {
  for (int i = 0; i < 4; ++i) JuniParameter[i] = combo_[i]->currentIndex();
  if (g_placement.read) g_placement.read(this, 1);
  if (g_ranking == this) g_ranking = nullptr;
}

void RankingWindow::Refresh(bool forced) {
  // Key 0 lists in table order; any other key needs an order.
  const QSignalBlocker block(combo_[3]);
  if (combo_[2]->currentIndex() <= 0) combo_[3]->setCurrentIndex(JUNI_NONE);
  else if (combo_[3]->currentIndex() == JUNI_NONE) combo_[3]->setCurrentIndex(JUNI_TOP);
  int now[4];
  for (int i = 0; i < 4; ++i) now[i] = combo_[i]->currentIndex();
  if (!forced && std::equal(now, now + 4, g_last_fill)) return;
  std::copy(now, now + 4, g_last_fill);
  const std::vector<JuniRow> rows = MakeJuniRows(now[0], now[1], now[2], now[3]);
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rows.size());
  stocks_.clear();
  for (const JuniRow& r : rows) {
    cells.push_back({r.no, r.percent, r.code, r.name});
    stocks_.push_back(r.stock_num);
  }
  model_->SetRows(std::move(cells));
}

void RankingWindow::SelectionChanged() { FollowSelection(list_, stocks_); }

void RankingWindow::Copy() {
  // Every cell whole (names are not cut).
  ClipboardText clip(RANKING_CLIP_BYTES);
  for (const auto& r : model_->Rows())
    ClipboardAppendf(&clip, "%s\t%s\t%s\t%s\r\n", r[0].c_str(), r[1].c_str(), r[2].c_str(), r[3].c_str());
  CopyTextToClipboard(clip);
}

void RankingWindow::ToFavourites() {
  const std::vector<int> rows = SelectedReportRows(list_);
  std::fill(std::begin(SelectCode), std::end(SelectCode), -1);
  int n = 0;
  for (int r : rows)
    if (n < SELECT_CODE_MAX) SelectCode[n++] = fundamental[stocks_[r]].code;
  if (n == 0) return;
  if (n == 1) {
    AddToFavourites(SelectCode[0]);
    return;
  }
  PRT("複数選択（ランキング）num=%d\n", n);
  AddToFavourites(-1);
}

// --- search dialogs ----------------------------------------------------------------------------

CodeInputDialog::CodeInputDialog(QWidget* owner, int first_digit) : QDialog(owner) {
  setObjectName(u"CODE_INPUT"_qs);
  setWindowTitle(u"銘柄コードで検索します"_qs);
  auto* layout = new QVBoxLayout(this);
  field_ = new CodeField(this);
  field_->setObjectName(u"1002"_qs);
  field_->setMaxLength(8);
  layout->addWidget(field_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName(u"1"_qs);
  box->button(QDialogButtonBox::Cancel)->setObjectName(u"2"_qs);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::reject);  // OK closes without a search
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (first_digit >= 1 && first_digit <= 9) field_->setText(QString::number(first_digit));
  field_->setCursorPosition(field_->text().size());
  field_->setFocus();
  connect(field_, &QLineEdit::textChanged, this, &CodeInputDialog::TextChanged);
}

void CodeInputDialog::TextChanged() {
  // Full-width digits and letters (the input method on) stand for the half-width ones.
  const QString half = field_->text().normalized(QString::NormalizationForm_KC);
  if (half != field_->text()) {
    field_->setText(half);  // comes back here with the half-width text
    return;
  }
  bool done = false;
  const int s = CodeSearchText(ToCp932(field_->text()).c_str(), &done);
  if (!done) return;
  accept();
  if (s >= 0) ShowStock(s);
}

NameInputDialog::NameInputDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(u"NAME_INPUT"_qs);
  setWindowTitle(u"銘柄名検索"_qs);
  setAttribute(Qt::WA_InputMethodEnabled);
  auto* layout = new QVBoxLayout(this);
  field_ = new QLineEdit(this);
  field_->setObjectName(u"40010"_qs);
  layout->addWidget(field_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName(u"1"_qs);
  box->button(QDialogButtonBox::Cancel)->setObjectName(u"2"_qs);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &NameInputDialog::Search);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  field_->setFocus();
}

void NameInputDialog::Search() {
  const std::string text = ToCp932(field_->text());
  int hits = 0;
  switch (NameSearch(text.c_str(), &hits)) {
    case NAME_EMPTY:
      return;
    case NAME_TOO_MANY:
      HostMessageBox("該当銘柄が100件を超えました。条件を変更してください。", "警告", MB_OK);
      field_->setFocus();
      return;
    case NAME_NONE: {
      char msg[160];
      std::snprintf(msg, sizeof msg, "「 %s 」を含む銘柄は存在しません\n", text.c_str());
      HostMessageBox(msg, "警告", MB_OK);
      field_->clear();
      field_->setFocus();
      return;
    }
    case NAME_FOUND:
      ShowListStock(KensakuList[0]);
      ShowResultList();
      accept();
      return;
  }
}

// --- opening and commands ----------------------------------------------------------------------

ResultListWindow* OpenResultList() { return g_result; }
RankingWindow* OpenRankingWindow() { return g_ranking; }

void ShowResultList() {
  if (g_result) {
    ResultListWindow* old = g_result;
    g_result = nullptr;
    CloseWindowSafely(old);
  }
  g_result = new ResultListWindow(g_owner);
  g_result->show();
}

void ToggleRankingWindow() {
  if (g_ranking) {
    RankingWindow* w = g_ranking;  // the destructor keeps the choices and the placement
    g_ranking = nullptr;
    CloseWindowSafely(w);
    return;
  }
  g_ranking = new RankingWindow(g_owner);
  g_ranking->show();
}

void RegisterListWindows(QWidget* owner, ListWindowPlacement placement) {
  g_owner = owner;
  g_placement = placement;
  OpenCodeInputDialog = OpenCodeInput;
  OpenKensakuResult = ShowResultList;
  RegisterCommand(IDM_NAME_SEARCH, [](int) { OpenNameInput(); });
  RegisterCommand(IDM_RANKING, [](int) { ToggleRankingWindow(); });
  RegisterCommandCheck(IDM_RANKING, [] { return g_ranking != nullptr; });
}
