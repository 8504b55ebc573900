#include "db/ui/maintenance_dialogs.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "chart/chart_repaint.h"
#include "chart/shown_stock.h"
#include "db/csv_export.h"
#include "db/price_deletion.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "db/week_month_bars.h"
#include "lists/number_format.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

namespace {

QPointer<QWidget> g_owner;
constexpr int IDM_CSV_VIEW = 40105;

QPushButton* Button(const QString& text, int id) {
  auto* b = new QPushButton(text);
  b->setObjectName(QString::number(id));
  return b;
}

}  // namespace

CsvViewDialog::CsvViewDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(u"CSV_VIEW"_qs);
  setWindowTitle(u"株価4本足の一覧"_qs);
  auto* v = new QVBoxLayout(this);
  QFont font(u"ＭＳ ゴシック"_qs);
  font.setPixelSize(12);
  font.setStyleHint(QFont::Monospace);
  auto* head = new QLabel(u"       日付         始値   高値   安値   終値       出来高  信用買残 信用売残"_qs);
  head->setFont(font);
  v->addWidget(head);
  text_ = new QTextEdit;
  text_->setObjectName(QString::number(IDC_CSV_TEXT));
  text_->setReadOnly(true);
  text_->setAcceptRichText(false);
  text_->setLineWrapMode(QTextEdit::NoWrap);
  text_->setFont(font);
  text_->setMinimumSize(620, 360);
  v->addWidget(text_);
  auto* row = new QHBoxLayout;
  auto* exp = Button(u"CSV形式出力処理"_qs, IDC_CSV_EXPORT);
  auto* close = Button(u"閉じる"_qs, 2);
  row->addStretch();
  row->addWidget(exp);
  row->addWidget(close);
  v->addLayout(row);
  connect(exp, &QPushButton::clicked, this, [] { ExportCsv(DispNum); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  // The shown stock's days, appended in blocks of 64 lines, the newest day in view.
  Hiashi* h = LoadHiashi(DispNum);
  const std::string lines = FourPriceLines(*h);
  size_t at = 0;
  int count = 0;
  std::string block;
  while (at < lines.size()) {
    const size_t nl = lines.find('\n', at);
    block.append(lines, at, nl - at + 1);
    at = nl + 1;
    if (++count % 64 == 0 || at >= lines.size()) {
      text_->moveCursor(QTextCursor::End);
      text_->insertPlainText(FromCp932(block));
      block.clear();
    }
  }
  text_->setFocus();
  text_->moveCursor(QTextCursor::End);
  text_->ensureCursorVisible();
}

CsvDateSetDialog::CsvDateSetDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(u"CSV_DATE_SET"_qs);
  setWindowTitle(u"出力する日付の範囲を指定"_qs);
  auto* v = new QVBoxLayout(this);
  v->addWidget(new QLabel(u"1999年5月31日ならば 19950531 のような形式で入力してください。"_qs));
  auto* row = new QHBoxLayout;
  first_ = new QLineEdit(QString::number(nikkei_date[CsvFirst]));
  first_->setObjectName(QString::number(IDC_CSV_FIRST));
  last_ = new QLineEdit(QString::number(nikkei_date[CsvLast]));
  last_->setObjectName(QString::number(IDC_CSV_LAST));
  row->addWidget(first_);
  row->addWidget(new QLabel(u"－"_qs));
  row->addWidget(last_);
  v->addLayout(row);
  auto* buttons = new QHBoxLayout;
  auto* ok = Button(u"OK"_qs, 1);
  auto* cancel = Button(u"ｷｬﾝｾﾙ"_qs, 2);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  v->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CsvDateSetDialog::accept() {
  bool ok1 = false, ok2 = false;
  const int f = first_->text().trimmed().toInt(&ok1), l = last_->text().trimmed().toInt(&ok2);
  int first = 0, last = 0;
  if (!ok1 || !ok2 || !CheckCsvRange(f, l, &first, &last)) {
    HostMessageBox("範囲指定に誤りがあります。\n取引が存在する日を選んでください。", "日付指定Err", MB_OK | MB_ICONWARNING);
    return;
  }
  CsvFirst = first;
  CsvLast = last;
  QDialog::accept();
}

DeletionDialog::DeletionDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(u"DBDELETE"_qs);
  setWindowTitle(u"株価データの削除"_qs);
  auto* v = new QVBoxLayout(this);
  v->addWidget(new QLabel(u"銘柄、日付を指定して株価を削除します。"_qs));
  kind_ = new QComboBox;
  kind_->setObjectName(QString::number(IDC_DEL_KIND));
  kind_->addItems({u"日付と銘柄を指定して削除"_qs, u"日付のみ指定して削除"_qs, u"銘柄のみを指定して削除"_qs});
  v->addWidget(kind_);
  auto* lists = new QHBoxLayout;
  auto* dcol = new QVBoxLayout;
  dcol->addWidget(new QLabel(u"日付"_qs));
  dates_ = new QListWidget;
  dates_->setObjectName(QString::number(IDC_DEL_DATES));
  dcol->addWidget(dates_);
  auto* scol = new QVBoxLayout;
  scol->addWidget(new QLabel(u"銘柄"_qs));
  stocks_ = new QListWidget;
  stocks_->setObjectName(QString::number(IDC_DEL_STOCKS));
  scol->addWidget(stocks_);
  prices_ = new QPlainTextEdit;
  prices_->setObjectName(QString::number(IDC_DEL_PRICES));
  prices_->setReadOnly(true);
  lists->addLayout(dcol);
  lists->addLayout(scol);
  lists->addWidget(prices_);
  v->addLayout(lists);
  auto* row = new QHBoxLayout;
  auto* del = Button(u"削除"_qs, IDC_DEL_DELETE);
  auto* cancel = Button(u"キャンセル"_qs, 2);
  row->addStretch();
  row->addWidget(del);
  row->addWidget(cancel);
  v->addLayout(row);

  // The newest 100 days, newest first; every stock in ascending code.
  for (int k = 0; k < 100 && LastDate - 1 - k >= 0; ++k) {
    const int32_t d = nikkei_date[LastDate - 1 - k];
    dates_->addItem(QString::asprintf("%d/%d/%d", d / 10000, d / 100 % 100, d % 100));
  }
  std::vector<int> order;
  for (int s = 0; s < LastKabu; ++s) order.push_back(s);
  std::stable_sort(order.begin(), order.end(), [](int a, int b) { return fundamental[a].code < fundamental[b].code; });
  int shown_row = 0;
  for (int s : order) {
    char line[128];
    std::snprintf(line, sizeof line, "%s  %.52s", Code_to_String(fundamental[s].code).c_str(), fundamental[s].company);
    auto* item = new QListWidgetItem(FromCp932(line));
    item->setData(Qt::UserRole, s);
    if (s == DispNum) shown_row = stocks_->count();
    stocks_->addItem(item);
  }
  dates_->setCurrentRow(0);
  stocks_->setCurrentRow(shown_row);
  kind_->setCurrentIndex(DeleteKindLastUsed >= 0 && DeleteKindLastUsed <= 2 ? DeleteKindLastUsed : 0);
  ApplyKind();
  connect(kind_, &QComboBox::currentIndexChanged, this, [this] { ApplyKind(); });
  connect(dates_, &QListWidget::currentRowChanged, this, [this] { ShowDay(); });
  connect(stocks_, &QListWidget::currentRowChanged, this, [this] { OnStockChosen(); });
  connect(del, &QPushButton::clicked, this, [this] { OnDelete(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  cancel->setFocus();
}

int DeletionDialog::DateNum() const { return LastDate - 1 - std::max(0, dates_->currentRow()); }

int DeletionDialog::StockNum() const {
  QListWidgetItem* item = stocks_->currentItem();
  return item ? item->data(Qt::UserRole).toInt() : DispNum;
}

void DeletionDialog::ApplyKind() {
  const int kind = kind_->currentIndex();
  dates_->setEnabled(kind != DELETE_ALL_DAYS_ONE_STOCK);
  stocks_->setEnabled(kind != DELETE_ONE_DAY_ALL_STOCKS);
  if (kind == DELETE_ONE_DAY_ONE_STOCK) ShowDay();
  else prices_->setPlainText(u" "_qs);
}

void DeletionDialog::ShowDay() {
  if (kind_->currentIndex() != DELETE_ONE_DAY_ONE_STOCK) return;
  int v[5] = {};
  DeletionDayValues(DispNum, DateNum(), v);
  static const char* const kLabels[5] = {"始値　：", "高値　：", "安値　：", "終値　：", "出来高："};
  std::string text;
  for (int k = 0; k < 5; ++k) text += std::string(kLabels[k]) + CommaAdd(v[k]) + "\n";
  prices_->setPlainText(FromCp932(text));
}

void DeletionDialog::OnStockChosen() {
  const int s = StockNum();
  if (s != DispNum) {
    ShowStock(s);
    RequestChartRepaint();
  }
  ShowDay();
}

void DeletionDialog::OnDelete() {
  const int kind = kind_->currentIndex(), date_num = DateNum(), stock = StockNum();
  DeleteKindLastUsed = kind;
  // Day 0 has no day before it to take the prices from: it is not offered for deletion.
  if (kind != DELETE_ALL_DAYS_ONE_STOCK && date_num <= 0) {
    HostMessageBox("最も古い日の株価は削除できません。", "確認", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!ConfirmDelete(kind, date_num, stock)) return;
  PRT("taisyo_num %d   date_num %d  LastDate %d\n", kind, date_num, LastDate);
  if (!DeletePrices(kind, date_num, stock)) return;
  HostMessageBox("株価データを削除しました。\n\n補充を行ってください。", "確認", MB_OK | MB_ICONINFORMATION);
  if (kind == DELETE_ONE_DAY_ALL_STOCKS && date_num == LastDate) HostPostCommand(IDM_TODAY_DOWNLOAD);
  else if (BackfillFeature) BackfillFeature();
  LoadHiashi(DispNum);
  ResetAshiCache();
  RequestChartRepaint();
  accept();
}

void InstallMaintenanceDialogs(QWidget* owner) {
  g_owner = owner;
  RegisterCommand(IDM_CSV_VIEW, [](int) {
    CsvViewDialog dialog(g_owner);
    dialog.exec();
  });
  DeletionFeature = [] {
    DeletionDialog dialog(g_owner);
    dialog.exec();
  };
  CsvDateRangeDialog = [] {
    CsvDateSetDialog dialog(g_owner);
    dialog.exec();
  };
}
