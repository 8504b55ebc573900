#include "lists/ui/screening_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "chart/chart_settings.h"
#include "db/price_model.h"
#include "lists/screening_engine.h"
#include "lists/screening_groups.h"
#include "lists/user_data.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/window_in_use.h"

namespace {

QWidget* g_owner = nullptr;
ScreeningWindowPlacement g_placement;
ScreeningWindow* g_window = nullptr;

// --- the choices of each slot ------------------------------------------------------------------

// ASCII digits as full-width ones ("50" -> "５０").
QString Wide(QString s) {
  for (QChar& c : s)
    if (c >= u'0' && c <= u'9') c = QChar(c.unicode() - u'0' + 0xFF10);
  return s;
}

QStringList WideList(std::initializer_list<const char16_t*> items, const QString& suffix = QString()) {
  QStringList out;
  for (const char16_t* i : items) out << Wide(QString::fromUtf16(i)) + suffix;
  return out;
}

QStringList List(std::initializer_list<const char16_t*> items, const QString& suffix = QString()) {
  QStringList out;
  for (const char16_t* i : items) out << QString::fromUtf16(i) + suffix;
  return out;
}

// The texts of a slot's combo, from index 0 (the values are the engine's, ScreChoiceValue).
QStringList ChoiceTexts(int slot) {
  const QString none = u"指定なし"_qs;
  QStringList t;
  switch (slot) {
    case 0: case 1: case 2:
      t << none;
      for (int m = 1; m <= 18; ++m) t << FromCp932(MarketName[m]);
      return t;
    case 3: case 4: case 5:
      t << none;
      for (const char* i : IndustryName) t << FromCp932(i);
      return t;
    case 6: case 7:
      return QStringList{none} + WideList({u"3万", u"5万", u"10万", u"30万", u"50万", u"100万", u"200万", u"500万",
                                           u"1000万", u"1億"});
    case 8: case 9:
      return QStringList{none} + WideList({u"50円", u"100円", u"150円", u"200円", u"300円", u"500円", u"1000円",
                                           u"5000円", u"1万円", u"10万円", u"100万円"});
    case 10:
      return QStringList{none} + WideList({u"50", u"100", u"150", u"200", u"300", u"500", u"700", u"1000", u"5000"});
    case 11: return {none, u"有効"_qs};
    case 20: case 23: case 40: case 43:
      return QStringList{none} + List({u"上位 3%", u"上位 5%", u"上位10%", u"上位15%", u"上位20%", u"上位30%", u"上位50%"});
    case 21: case 22:
      return QStringList{none} + List({u"0.5", u"1", u"2", u"3", u"5", u"10", u"15", u"20", u"40"}, u" ％"_qs);
    case 24: case 25:
      return QStringList{none} + List({u"0.1", u"0.7", u"1.0", u"1.5", u"2.0", u"2.5", u"3.0", u"5.0", u"8.0"});
    case 41: case 42:
      return QStringList{none} + List({u"0", u"1", u"2", u"3", u"5", u"10", u"20", u"30", u"50"}, u"倍"_qs);
    case 44: case 45:
      return QStringList{none} + List({u"0.3", u"0.5", u"1.0", u"1.5", u"2.0", u"3.0", u"5.0", u"50.0"}, u"倍"_qs);
    case 60: return {none, u"転換線が上"_qs};
    case 61: case 62: case 63: case 64: case 84:
      return {none, u"ゴールデンクロス"_qs, u"デッドクロス"_qs};
    case 65: return {none, u"上"_qs, u"下"_qs};
    case 66: return {none, u"SAR陽転"_qs, u"SAR陰転"_qs};
    case 80: return QStringList{none} + WideList({u"5", u"10", u"15", u"20", u"25", u"30", u"40"});
    case 81: return QStringList{none} + WideList({u"95", u"90", u"85", u"80", u"75", u"70", u"60"});
    case 82: case 83: return QStringList{none} + WideList({u"5", u"10", u"15", u"20", u"25", u"30"});
    case 89: case 90: return QStringList{none} + WideList({u"95", u"90", u"85", u"80", u"75", u"70"});
    case 91: return {u"のみを検索"_qs, u"から復帰(買)"_qs};
    case 85: case 86:
      return QStringList{none} + List({u"40", u"30", u"20", u"15", u"10", u"7", u"5", u"3", u"0", u"-3", u"-5", u"-7",
                                       u"-10", u"-15", u"-20", u"-30", u"-40"}, u"%"_qs);
    case 87: return QStringList{none} + List({u"5", u"10", u"15", u"20", u"25", u"30", u"35", u"40"}, u"%"_qs);
    case 88: return QStringList{none} + List({u"95", u"90", u"85", u"80", u"75", u"70", u"65", u"60"}, u"%"_qs);
    case 100: case 101:
      return QStringList{none} + List({u"90", u"85", u"80", u"75", u"70", u"65", u"35", u"30", u"25", u"20", u"15",
                                       u"10"}, u"%"_qs);
    case 102: case 103: return QStringList{none} + List({u"1", u"2", u"3"}, u"σを超えた"_qs);
    case 120:
      return QStringList{none} + WideList({u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"12", u"15"});
    case 121:
      return WideList({u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"12", u"15", u"20", u"30"});
    case 122: return List({u"1.5", u"2", u"3", u"5", u"7", u"10", u"20", u"30", u"50"}, u"倍"_qs);
    case 123: return {u"増加"_qs, u"減少"_qs};
    case 124: return {none, u"信用買可能"_qs, u"信用売買可能"_qs};
    case 125:
      return QStringList{none} + List({u"100", u"30", u"20", u"10", u"5", u"3", u"2", u"1.0", u"0.7", u"0.5", u"0.3",
                                       u"0.2", u"0.1"}, u"倍"_qs);
    case 126: return {u"以上"_qs, u"以下"_qs};
    case 127:
      t << none;
      for (int g = 0; g < Group_Num && g < GROUP_MAX; ++g) t << FromCp932(GroupName[g]);
      return t;
    default: return {none};
  }
}

// --- the pages -----------------------------------------------------------------------------------

// One control of a page row: a combo (slot >= 0), a read-only field showing a setting
// (value), or a plain text.
struct Item {
  int id;
  int slot;
  const char16_t* text;
  int (*value)();
};
Item C(int id, int slot) { return {id, slot, nullptr, nullptr}; }
Item T(const char16_t* text) { return {0, -1, text, nullptr}; }
Item F(int id, int (*value)()) { return {id, -1, nullptr, value}; }

struct Row {
  int box;  // group box of the page (page 7 has three)
  const char16_t* label;
  std::vector<Item> items;
};

struct PageDef {
  const char16_t* row_text;
  std::vector<const char16_t*> boxes;
  std::vector<Row> rows;
};

const std::vector<PageDef>& Pages() {
  static const std::vector<PageDef> pages = {
      {u"基本分類",
       {u"基本分類"},
       {{0, u"市場", {C(1320, 0), C(1235, 1), C(1236, 2)}},
        {0, u"業種", {C(1321, 3), C(1322, 4), C(1234, 5)}},
        {0, u"投資金額", {C(1324, 6), T(u"～"), C(1346, 7)}},
        {0, u"株価", {C(1227, 8), T(u"～"), C(1225, 9)}},
        {0, u"出来高(5日平均)", {C(1226, 10), T(u"単位株より多い")}},
        {0, u"上場廃止", {C(1228, 11), T(u"動きのない銘柄を除く")}}}},
      {u"収益性",
       {u"収益性"},
       {{0, u"ROE", {C(1237, 20)}},
        {0, u"ROE", {C(1230, 21), T(u"～"), C(1231, 22)}},
        {0, u"配当利回り", {C(1251, 23)}},
        {0, u"配当利回り", {C(1232, 24), T(u"～"), C(1352, 25)}}}},
      {u"割安感",
       {u"割安感"},
       {{0, u"PER", {C(1241, 40)}},
        {0, u"PER", {C(1216, 41), T(u"～"), C(1217, 42)}},
        {0, u"PBR", {C(1242, 43)}},
        {0, u"PBR", {C(1218, 44), T(u"～"), C(1219, 45)}}}},
      {u"トレンド",
       {u"トレンド"},
       {{0, u"一目均衡表", {C(1229, 60)}},
        {0, u"移動平均(日足)",
         {F(1349, [] { return DayMoveAve[0]; }), T(u"日と"), F(1350, [] { return DayMoveAve[1]; }), T(u"日で"),
          C(1230, 61)}},
        {0, u"移動平均(週足)",
         {F(1351, [] { return WeekMoveAve[0]; }), T(u"週と"), F(1352, [] { return WeekMoveAve[1]; }), T(u"週で"),
          C(1231, 62)}},
        {0, u"移動平均(月足)",
         {F(1353, [] { return MonthMoveAve[0]; }), T(u"月と"), F(1354, [] { return MonthMoveAve[1]; }), T(u"月で"),
          C(1232, 63)}},
        {0, u"MACD", {C(1233, 64)}},
        {0, u"MACDが0より", {C(1234, 65)}},
        {0, u"パラボリック", {C(1235, 66)}}}},
      {u"天井･底",
       {u"天井・底"},
       {{0, u"サイコロジカル", {T(u"買い"), C(1213, 80), T(u"売り"), C(1239, 81)}},
        {0, u"RCI", {T(u"買い"), C(1223, 82), T(u"売り"), C(1224, 89)}},
        {0, u"RSI", {T(u"買い"), C(1222, 83), T(u"売り"), C(1225, 90), C(1226, 91)}},
        {0, u"DMI", {C(1228, 84)}},
        {0, u"乖離率",
         {F(1350, [] { return Kairi[0]; }), T(u"日を基準"), C(1214, 85), T(u"～"), C(1240, 86)}},
        {0, u"ストキャスティクス", {T(u"買い"), C(1241, 87), T(u"売り"), C(1215, 88)}}}},
      {u"その他",
       {u"その他"},
       {{0, u"ボリュームレシオ", {C(1215, 100), T(u"～"), C(1243, 101)}},
        {0, u"ボリンジャーバンド",
         {F(1350, [] { return DayMoveAve[0]; }), T(u"日を基準"), T(u"上"), C(1244, 102), T(u"下"), C(1216, 103)}}}},
      {u"出来高・信用・お気に入り",
       {u"出来高の変動", u"信用倍率", u"お気に入りフォルダに登録されている銘柄のみで検索"},
       {{0, u"直近", {C(1400, 120), T(u"日の平均が、その前"), C(1403, 121), T(u"日の平均の"), C(1401, 122),
                      C(1402, 123)}},
        {1, u"信用取引", {C(1404, 124)}},
        {1, u"信用倍率", {C(1405, 125), C(1406, 126)}},
        {2, u"フォルダ", {C(1408, 127)}}}},
  };
  return pages;
}

// A "上位" combo and its two range combos (page 2 and 3).
struct TopPair {
  int top, lo, hi;
};
constexpr TopPair kTopPairs[] = {{1237, 1230, 1231}, {1251, 1232, 1352}, {1241, 1216, 1217}, {1242, 1218, 1219}};

// The check icons of the page list (X_CHECKOFF, X_CHECKON), 12 x 12.
QIcon CheckIcon(bool on) {
  QPixmap pm(12, 12);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setPen(QColor(128, 128, 128));
  p.drawRect(0, 0, 11, 11);
  if (on) {
    p.setPen(QPen(QColor(0, 0, 0), 2));
    p.drawLine(2, 6, 5, 9);
    p.drawLine(5, 9, 10, 2);
  }
  return QIcon(pm);
}

}  // namespace

// --- radar chart ---------------------------------------------------------------------------------

namespace {
const QColor kPageColour[SCRE_RADAR_PAGES] = {QColor(255, 51, 0),   QColor(255, 0, 255),   QColor(255, 153, 0),
                                              QColor(204, 255, 0), QColor(102, 255, 102), QColor(0, 102, 255)};
const QPoint kLabelAt[SCRE_RADAR_PAGES] = {{50, 4}, {90, 20}, {90, 100}, {50, 114}, {4, 100}, {4, 20}};
QPoint Q(RadarPoint p) { return {p.x, p.y}; }
}  // namespace

ScreeningRadar::ScreeningRadar(QWidget* parent) : QWidget(parent) {
  setObjectName(u"1284"_qs);
  setFixedSize(150, 130);
}

void ScreeningRadar::SetValues(const int values[6]) {
  std::copy(values, values + SCRE_RADAR_PAGES, values_);
  Render();
  update();
}

void ScreeningRadar::resizeEvent(QResizeEvent*) { Render(); }

void ScreeningRadar::Render() {
  image_ = QImage(size(), QImage::Format_RGB32);
  image_.fill(palette().color(QPalette::Window));
  const RadarShape r = ScreRadarShape(width(), height(), values_);
  QPainter p(&image_);
  p.setRenderHint(QPainter::Antialiasing, false);
  QPolygon hex;
  for (const RadarPoint& c : r.corner) hex << Q(c);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(Qt::white);
  p.drawPolygon(hex);
  p.setPen(Qt::NoPen);
  for (int k = 0; k < SCRE_RADAR_PAGES; ++k) {
    const int before = (k + SCRE_RADAR_PAGES - 1) % SCRE_RADAR_PAGES;
    p.setBrush(kPageColour[k]);
    QPolygon area;
    area << Q(r.centre) << Q(r.between[before]) << Q(r.point[k]) << Q(r.between[k]);
    p.drawPolygon(area);
  }
  p.setPen(QColor(204, 204, 204));
  for (const RadarPoint& c : r.corner) p.drawLine(Q(r.centre), Q(c));
  QFont font(u"ＭＳ 明朝"_qs);
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  for (int k = 0; k < SCRE_RADAR_PAGES; ++k) {
    const QPoint at = kLabelAt[k];
    p.setPen(kPageColour[k]);
    for (int i = 0; i < 5; ++i) p.drawLine(at.x(), at.y() + 3 + i, at.x() + 6, at.y() + 3 + i);
    p.setPen(Qt::black);
    p.drawText(at.x() + 9, at.y() + 10, QString::fromUtf16(Pages()[k].row_text));
  }
}

void ScreeningRadar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

// --- the window ----------------------------------------------------------------------------------

ScreeningWindow::ScreeningWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(u"SCREMAIN"_qs);
  setWindowTitle(u"株式銘柄スクリーニング"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  list_ = new QTableWidget(SCRE_PAGES, 1, this);
  list_->setObjectName(u"1274"_qs);
  list_->setHorizontalHeaderLabels({u"分類"_qs});
  list_->setColumnWidth(0, 230);
  list_->verticalHeader()->hide();
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(true);
  list_->setIconSize(QSize(12, 12));
  for (int r = 0; r < SCRE_PAGES; ++r) list_->setItem(r, 0, new QTableWidgetItem(QString::fromUtf16(Pages()[r].row_text)));
  list_->setFixedWidth(250);
  top->addWidget(list_);

  auto* side = new QVBoxLayout;
  auto* group_row = new QHBoxLayout;
  group_ = new QComboBox(this);
  group_->setObjectName(u"1283"_qs);
  group_->setMinimumWidth(200);
  auto* organise = new QPushButton(u"グループの整理"_qs, this);
  organise->setObjectName(u"1347"_qs);
  organise->setAutoDefault(false);
  group_row->addWidget(group_);
  group_row->addWidget(organise);
  side->addLayout(group_row);
  radar_ = new ScreeningRadar(this);
  side->addWidget(radar_);
  auto* buttons = new QHBoxLayout;
  auto* init = new QPushButton(u"全て初期化"_qs, this);
  init->setObjectName(u"1273"_qs);
  auto* search = new QPushButton(u"検索"_qs, this);
  search->setObjectName(u"1275"_qs);
  auto* close_b = new QPushButton(u"閉じる"_qs, this);
  close_b->setObjectName(u"2"_qs);
  for (QPushButton* b : {init, search, close_b}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  side->addLayout(buttons);
  top->addLayout(side);
  outer->addLayout(top);
  page_area_ = new QVBoxLayout;
  outer->addLayout(page_area_);

  connect(organise, &QPushButton::clicked, this, &ScreeningWindow::OrganiseGroups);
  connect(init, &QPushButton::clicked, this, &ScreeningWindow::ClearAll);
  connect(search, &QPushButton::clicked, this, &ScreeningWindow::Search);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);
  if (g_placement.apply) g_placement.apply(this);

  FillGroupCombo();
  ScreLoadGroup();
  BuildPage();
  FillCombos();
  Recompute();
  list_->selectRow(0);
  connect(group_, &QComboBox::activated, this, &ScreeningWindow::GroupChosen);
  connect(list_, &QTableWidget::itemSelectionChanged, this, &ScreeningWindow::ListRowChanged);
}

ScreeningWindow::~ScreeningWindow() { Closing(); }

void ScreeningWindow::closeEvent(QCloseEvent* e) {
  Closing();
  QDialog::closeEvent(e);
}

void ScreeningWindow::Closing() {
  if (closed_) return;
  closed_ = true;
  // Edits of the open page belong to the group like every other edit.
  Store();
  if (g_placement.read) g_placement.read(this);
  if (g_window == this) g_window = nullptr;
}

QComboBox* ScreeningWindow::Combo(int id) const {
  const auto it = combos_.find(id);
  return it == combos_.end() ? nullptr : it->second;
}

void ScreeningWindow::FillGroupCombo() {
  const QSignalBlocker block(group_);
  group_->clear();
  for (int g = 0; g < ScreGroupNum && g < SCRE_GROUP_MAX; ++g) group_->addItem(FromCp932(ScreGroup[g].name));
  group_->setCurrentIndex(ScreGroupSelect);
}

void ScreeningWindow::BuildPage() {
  combos_.clear();
  slots_.clear();
  delete panel_;
  const PageDef& def = Pages()[page_ - 1];
  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("SCRESUB%1").arg(page_));
  auto* panel_layout = new QVBoxLayout(panel_);
  std::vector<QGridLayout*> grids;
  for (const char16_t* title : def.boxes) {
    auto* box = new QGroupBox(QString::fromUtf16(title), panel_);
    grids.push_back(new QGridLayout(box));
    panel_layout->addWidget(box);
  }
  std::vector<int> rows_in(grids.size(), 0);
  for (const Row& row : def.rows) {
    QGridLayout* grid = grids[row.box];
    const int r = rows_in[row.box]++;
    grid->addWidget(new QLabel(QString::fromUtf16(row.label), panel_), r, 0);
    int col = 1;
    for (const Item& item : row.items) {
      if (item.slot >= 0) {
        auto* combo = new QComboBox(panel_);
        combo->setObjectName(QString::number(item.id));
        combo->addItems(ChoiceTexts(item.slot));
        combos_[item.id] = combo;
        slots_[item.id] = item.slot;
        const int id = item.id;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, id] { ComboChanged(id); });
        grid->addWidget(combo, r, col++);
      } else if (item.value) {
        auto* field = new QLineEdit(QString::number(item.value()), panel_);
        field->setObjectName(QString::number(item.id));
        field->setReadOnly(true);
        field->setFixedWidth(36);
        grid->addWidget(field, r, col++);
      } else {
        grid->addWidget(new QLabel(QString::fromUtf16(item.text), panel_), r, col++);
      }
    }
  }
  page_area_->addWidget(panel_);
  panel_->show();
}

void ScreeningWindow::FillCombos() {
  // A folder condition beyond the folders (one was deleted meanwhile) is dropped.
  if (page_ == 7 && (ScreCond[127] < 0 || ScreCond[127] > Group_Num)) ScreCond[127] = 0;
  filling_ = true;
  for (auto& [id, combo] : combos_) {
    const int v = ScreCond[slots_[id]];
    combo->setCurrentIndex(v >= 0 && v < combo->count() ? v : 0);
    combo->setEnabled(true);
  }
  filling_ = false;
}

void ScreeningWindow::Store() {
  for (const auto& [id, combo] : combos_) ScreCond[slots_[id]] = combo->currentIndex() < 0 ? 0 : combo->currentIndex();
  ScreStoreGroup();
}

void ScreeningWindow::Load() {
  ScreLoadGroup();
  FillCombos();
  Recompute();
}

void ScreeningWindow::ComboChanged(int id) {
  if (filling_) return;
  auto set_enabled = [this](int target, bool on) {
    if (QComboBox* c = Combo(target)) c->setEnabled(on);
  };
  auto index = [this](int target) {
    QComboBox* c = Combo(target);
    return c ? c->currentIndex() : 0;
  };
  for (const TopPair& t : kTopPairs) {
    if (id == t.top) {
      set_enabled(t.lo, index(t.top) == 0);
      set_enabled(t.hi, index(t.top) == 0);
    } else if (id == t.lo || id == t.hi) {
      set_enabled(t.top, index(t.lo) == 0 && index(t.hi) == 0);
    }
  }
  if (page_ == 7) {
    if (id == 1400)
      for (int other : {1403, 1401, 1402}) set_enabled(other, index(1400) != 0);
    if (id == 1405) set_enabled(1404, index(1405) == 0);
  }
}

void ScreeningWindow::Recompute() {
  for (int p = 0; p < SCRE_PAGES; ++p)
    if (QTableWidgetItem* item = list_->item(p, 0)) {
      const bool on = ScrePageSet(ScreCond, p);
      item->setIcon(CheckIcon(on));
      item->setData(Qt::UserRole, on);
    }
  int values[SCRE_RADAR_PAGES];
  for (int p = 0; p < SCRE_RADAR_PAGES; ++p) values[p] = ScreRadarValue(ScreCond, p);
  radar_->SetValues(values);
}

void ScreeningWindow::ShowPage(int p) {
  if (p < 1 || p > SCRE_PAGES) return;
  list_->selectRow(p - 1);
  if (p != page_) {  // the list's signal did not switch (already selected)
    last_row_ = p - 1;
    Store();
    page_ = p;
    BuildPage();
    FillCombos();
    Recompute();
  }
}

void ScreeningWindow::ListRowChanged() {
  const QList<QTableWidgetItem*> items = list_->selectedItems();
  if (items.isEmpty()) return;
  const int row = items.first()->row();
  if (row == last_row_) return;
  last_row_ = row;
  Store();
  page_ = row + 1;
  BuildPage();
  FillCombos();
  Recompute();
  list_->setFocus();
}

void ScreeningWindow::ClearAll() {
  std::fill(std::begin(ScreCond), std::end(ScreCond), 0);
  FillCombos();
  Recompute();
}

void ScreeningWindow::Search() {
  WindowInUse in_use(this);
  Store();
  Recompute();
  if (RunScreening() > 0) showMinimized();
}

void ScreeningWindow::GroupChosen(int index) {
  if (index < 0 || index >= ScreGroupNum) return;
  Store();
  ScreSelectGroup(index);
  FillCombos();
  Recompute();
}

void ScreeningWindow::OrganiseGroups() {
  WindowInUse in_use(this);
  Store();
  ScreeningGroupDialog dlg(this);
  dlg.exec();
}

// --- the group dialog ------------------------------------------------------------------------------

ScreeningGroupDialog::ScreeningGroupDialog(ScreeningWindow* owner) : QDialog(owner), owner_(owner) {
  setObjectName(u"SCREENING_GROUP"_qs);
  setWindowTitle(u"スクリーンニング・グループの新規追加、削除、名称変更"_qs);
  auto* layout = new QVBoxLayout(this);
  field_ = new QLineEdit(FromCp932(ScreGroup[ScreGroupSelect].name), this);
  field_->setObjectName(u"1100"_qs);
  field_->setMaxLength(255);
  layout->addWidget(field_);
  text_ = new QLabel(u" "_qs, this);
  text_->setObjectName(u"1236"_qs);
  layout->addWidget(text_);
  auto* buttons = new QHBoxLayout;
  // Buttons: OK 1, キャンセル 2, 新規追加 1237, 削除 1238.
  struct B {
    const char16_t* text;
    int id;
    void (ScreeningGroupDialog::*slot)();
  };
  for (const B& b : {B{u"新規追加", 1237, &ScreeningGroupDialog::NewGroup}, B{u"削除", 1238, &ScreeningGroupDialog::Delete},
                     B{u"OK", 1, &ScreeningGroupDialog::Ok}, B{u"キャンセル", 2, &ScreeningGroupDialog::Cancel}}) {
    auto* button = new QPushButton(QString::fromUtf16(b.text), this);
    button->setObjectName(QString::number(b.id));
    button->setAutoDefault(b.id == 1);
    connect(button, &QPushButton::clicked, this, b.slot);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
}

void ScreeningGroupDialog::NewGroup() {
  if (!ScreNewGroup()) return;
  owner_->FillGroupCombo();
  owner_->Load();
  field_->setText(FromCp932(ScreGroup[ScreGroupSelect].name));
  text_->setText(u"以下のグループを作成しました。名前は変更できます。"_qs);
}

void ScreeningGroupDialog::Ok() {
  ScreRenameGroup(ToCp932(field_->text()).c_str());
  owner_->FillGroupCombo();
  owner_->Load();
  accept();
}

void ScreeningGroupDialog::Delete() {
  if (!ScreDeleteGroup()) return;
  owner_->FillGroupCombo();
  owner_->Load();
  accept();
}

void ScreeningGroupDialog::Cancel() {
  owner_->FillGroupCombo();
  owner_->Load();
  reject();
}

// --- opening and the command -------------------------------------------------------------------------

ScreeningWindow* OpenScreeningWindow() { return g_window; }

void ToggleScreeningWindow() {
  if (g_window) {
    ScreeningWindow* w = g_window;  // the destructor stores the page and keeps the placement
    g_window = nullptr;
    CloseWindowSafely(w);
    return;
  }
  g_window = new ScreeningWindow(g_owner);
  g_window->show();
}

void RegisterScreeningWindow(QWidget* owner, ScreeningWindowPlacement placement) {
  g_owner = owner;
  g_placement = placement;
  RegisterCommand(IDM_SCREENING, [](int) { ToggleScreeningWindow(); });
  RegisterCommandCheck(IDM_SCREENING, [] { return g_window != nullptr; });
}
