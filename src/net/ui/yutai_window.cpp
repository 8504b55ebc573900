#include "net/ui/yutai_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>

#include "chart/shown_stock.h"
#include "db/database_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/ui/download_dialog.h"
#include "net/yutai_download.h"
#include "net/yutai_table.h"
#include "platform/codepage.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "platform/qt/window_in_use.h"

namespace {

QPointer<YutaiWindow> g_window;
QPointer<QWidget> g_owner;
YutaiWindowShell g_shell;

QPushButton* Button(QWidget* parent, const QString& text, int id) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::number(id));
  return b;
}

}  // namespace

YutaiWindow* TheYutaiWindow() { return g_window; }

YutaiWindow::YutaiWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(u"YUTAI_LIST"_qs);
  setWindowTitle(u"株主優待制度"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  if (!ReadYutai()) PRT("YUTAIデータ読みこみ失敗！\n");

  month_ = new QComboBox(this);
  month_->setObjectName(QString::number(IDC_YUTAI_MONTH));
  month_->addItem(u"指定なし"_qs);
  for (int m = 1; m <= 12; ++m) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d月", m);
    month_->addItem(FromCp932(text));
  }
  month_->setCurrentIndex(YutaiMonth >= 0 && YutaiMonth <= 12 ? YutaiMonth : 0);
  kind_ = new QComboBox(this);
  kind_->setObjectName(QString::number(IDC_YUTAI_KIND));
  for (const YutaiKind& k : YutaiBunrui) kind_->addItem(FromCp932(k.name));
  kind_->setCurrentIndex(YutaiBunruiNum >= 0 && YutaiBunruiNum < YUTAI_KIND_COUNT ? YutaiBunruiNum : 0);
  date_ = new QLabel(this);
  date_->setObjectName(QString::number(IDC_YUTAI_DATE));
  date_->setText(Cp932Find(YutaiDateText, "年") != std::string::npos ? FromCp932(YutaiDateText)
                                                                       : u"更新ボタンを押して下さい。"_qs);
  list_ = new QTableView(this);
  list_->setObjectName(QString::number(IDC_YUTAI_LIST));
  model_ = new ReportListModel({{u"ｺｰﾄﾞ"_qs, 40, Qt::AlignLeft},
                                {u"銘柄"_qs, 160, Qt::AlignLeft},
                                {u"権利確定日"_qs, 75, Qt::AlignLeft},
                                {u"分類"_qs, 410, Qt::AlignLeft}},
                               this);
  SetupReportView(list_, model_);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);

  auto* filters = new QGridLayout;
  filters->addWidget(new QLabel(u"権利確定日"_qs, this), 0, 0);
  filters->addWidget(month_, 1, 0);
  filters->addWidget(new QLabel(u"分類"_qs, this), 0, 1);
  filters->addWidget(kind_, 1, 1);
  filters->addWidget(date_, 1, 2);
  auto* buttons = new QHBoxLayout;
  QPushButton* page = Button(this, u"詳細情報のHPへ"_qs, IDC_YUTAI_PAGE);
  QPushButton* update = Button(this, u"更新"_qs, IDC_YUTAI_UPDATE);
  QPushButton* close_b = Button(this, u"閉じる"_qs, IDCANCEL);
  buttons->addWidget(page);
  buttons->addWidget(update);
  buttons->addStretch();
  buttons->addWidget(close_b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  resize(740, 500);

  connect(month_, &QComboBox::currentIndexChanged, this, [this](int) { FillYutaiList(); });
  connect(kind_, &QComboBox::currentIndexChanged, this, [this](int) { FillYutaiList(); });
  connect(page, &QPushButton::clicked, this, [] { OpenYutaiPage(); });
  connect(update, &QPushButton::clicked, this, &YutaiWindow::Update);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &YutaiWindow::SelectionChanged);
  FillYutaiList();
  if (g_shell.apply_placement) g_shell.apply_placement(this);
  list_->setFocus();
}

YutaiWindow::~YutaiWindow() {
  if (g_shell.read_placement) g_shell.read_placement(this);
}

void YutaiWindow::FillYutaiList() {
  YutaiMonth = month_->currentIndex();
  YutaiBunruiNum = kind_->currentIndex();
  rows_.assign(YUTAI_MAX_KABU, 0);
  rows_.resize(YutaiListRows(YutaiMonth, YutaiBunruiNum, rows_.data(), YUTAI_MAX_KABU));
  std::vector<std::vector<std::string>> rows;
  rows.reserve(rows_.size());
  for (int i : rows_) {
    const Yutai& y = yutai[i];
    if (y.bunrui == 0)
      PRT("優待種別Err(%d/%d) YutaiBunruiNum=%d,%d:%s\n", i, Yutai_Last_Num, YutaiBunruiNum, y.code, y.name);
    rows.push_back({Code_to_String(y.code).c_str(), y.name, y.kakutei, YutaiKindText(y.bunrui)});
  }
  model_->SetRows(std::move(rows));
}

void YutaiWindow::SelectionChanged() {
  const std::vector<int> selected = SelectedReportRows(list_);
  if (selected.empty() || selected[0] >= static_cast<int>(rows_.size())) return;
  const int s = Code_to_StockNum(yutai[rows_[selected[0]]].code);
  if (s < 0) {
    PRT("銘柄コードエラー 優待\n");
    return;
  }
  if (s != DispNum) ShowStock(s);
}

void YutaiWindow::Update() {
  WindowInUse in_use(this);
  fBusy = 1;
  const int replaced = ShowYutaiDownloadDialog(this);
  fBusy = 0;
  if (!replaced) return;
  date_->setText(FromCp932(YutaiDateText));
  FillYutaiList();
}

namespace {

// "YUTAI_DOWNLOAD": the text, the two times, the bar, Download and Cancel (the default).
class YutaiDownloadWindow final : public ProgressDownloadDialog {
 public:
  explicit YutaiDownloadWindow(QWidget* owner) : ProgressDownloadDialog(owner) {
    setObjectName(u"YUTAI_DOWNLOAD"_qs);
    setWindowTitle(u"株主優待情報をダウンロード（「みんかぶ」より）"_qs);
    QLabel* text = Label(IDC_YUTAI_TEXT, u"株主優待情報をダウンロードします。　　 30秒ほどかかます。"_qs);
    MakeRunControls(IDC_YUTAI_PROGRESS, IDC_YUTAI_ELAPSED, IDC_YUTAI_REMAINING);
    progress_->setRange(0, 72);
    progress_->setValue(0);
    download_->setDefault(false);
    cancel_->setDefault(true);
    auto* grid = new QGridLayout;
    AddTimeRows(grid, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(grid);
    layout->addWidget(progress_);
    layout->addLayout(ButtonRow());
    connect(download_, &QPushButton::clicked, this, [this] { RunAndClose([this] { return RunYutaiDownload(this); }); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  }
};

}  // namespace

int ShowYutaiDownloadDialog(QWidget* owner) {
  YutaiDownloadWindow dialog(owner);
  return dialog.exec();
}

void CloseYutaiWindow() {
  YutaiWindow* w = g_window;
  g_window = nullptr;
  CloseWindowSafely(w);
}

void RegisterYutaiWindow(QWidget* owner, YutaiWindowShell shell) {
  g_owner = owner;
  g_shell = shell;
  RegisterCommand(IDM_YUTAI_LIST, [](int) {
    if (g_window) {
      CloseYutaiWindow();
      return;
    }
    if (!g_owner) return;
    g_window = new YutaiWindow(g_owner);
    g_window->show();
  });
  RegisterCommandCheck(IDM_YUTAI_LIST, [] { return !g_window.isNull(); });
}
