#include "chart/ui/pnt_fgr_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "chart/chart_paint.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/comparison.h"
#include "chart/point_figure.h"
#include "chart/shown_stock.h"
#include "chart/ui/chart_fonts.h"
#include "chart/ui/chart_raster.h"
#include "chart/ui/chart_renderer.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/similar_stocks.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/window_in_use.h"
#include "shell/update_command.h"

int PntFgrMode = PNTFGR_MODE_COMPARE;
int PntFgrLastMode = -1;

namespace {

constexpr int TOP_BAND = 60;

QPointer<PntFgrWindow> g_window;
QWidget* g_owner = nullptr;
PntFgrPlacement g_placement;
// The selected item of each similarity list, kept while the program runs.
int g_list_selection[3] = {0, 0, 0};

// What the chart showed at its last paint: the bar period, the bars shown, the stock and
// its closes over those bars. Both modes draw from this copy, so they never depend on the
// chart's shared series being unchanged since.
struct ChartCapture {
  bool valid = false;
  int ashi = 1, from = 0, to = -1, stock = 0;
  std::vector<int32_t> closes;
} g_capture;

QFont Mincho(int pixels, int weight = 400) { return MakeChartFont(u"ＭＳ 明朝"_qs, pixels, weight); }

// Text from its top-left corner, as the chart writes it.
void TextAt(QPainter& p, const QFont& f, int x, int y, const QString& s) {
  p.setFont(f);
  p.drawText(x, y + QFontMetrics(f).ascent(), s);
}

QColor ColourOf(int32_t c) { return QColor::fromRgb(PixelOf(c)); }

}  // namespace

PntFgrWindow* OpenPntFgrWindow() { return g_window; }

void PntFgrCaptureChart() {
  const DispSeries& ds = ChartSeries;
  g_capture.ashi = AshiFlag;
  g_capture.stock = DispNum;
  g_capture.from = std::max(0, ds.DispStart);
  g_capture.to = std::min(MAX_DATE - 1, ds.DispEnd);
  g_capture.closes.clear();
  for (int i = g_capture.from; i <= g_capture.to; ++i) g_capture.closes.push_back(ds.close[i]);
  g_capture.valid = true;
}

// ---- The drawing area ----

PntFgrDrawArea::PntFgrDrawArea(QWidget* parent) : QWidget(parent) {
  setObjectName(u"PntFgrDrawClass"_qs);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PntFgrDrawArea::paintEvent(QPaintEvent*) {
  auto* w = qobject_cast<PntFgrWindow*>(parentWidget());
  if (!w) return;
  PaintBuffered(this, &image_, [w](QImage* img) {
    if (w->Mode() == PNTFGR_MODE_FIGURE) PaintPntFgr(img);
    else PaintCompare(img, w->SlotStocks());
  });
}

void PaintPntFgr(QImage* image) {
  image->fill(Qt::white);
  const int W = image->width(), H = image->height();
  PntFgrFigure fig;
  if (!g_capture.valid ||
      !BuildPntFgr(g_capture.closes.data(), static_cast<int>(g_capture.closes.size()),
                   PntFgrBoxRatio[PntFgrBoxIndex(PntFgr[0])], &fig))
    return;
  const int style = PntFgrMarkStyle(PntFgr[1]);
  const int cw = std::max(1, (W - 75) / fig.nColumns);
  const int rh = std::max(1, (H - 40) / fig.nLevels);
  ChartRaster raster(image);
  QPainter p(image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setPen(Qt::black);
  const QFont font = MakeChartFont(u"ＭＳ ゴシック"_qs, 12);
  for (int i = 0; i <= fig.nLevels - 2; ++i) {
    if (!PntFgrGridRow(i, fig.nLevels)) continue;
    const int y = (fig.nLevels - i) * rh + rh / 2;
    char text[16];
    std::snprintf(text, sizeof text, "%6d", PntFgrGridPrice(fig.levels[static_cast<size_t>(i)]));
    TextAt(p, font, W - 55, y - 6, QString::fromLatin1(text));
    raster.DottedLine(10, y, W - 65, y, qRgb(0, 0, 255), qRgb(255, 255, 255));
  }
  int x = cw / 2 + 10, left = 10, right = 2 * (cw / 2) + 10;
  int y = (fig.nLevels - fig.first_box) * rh;
  const QPen cross(ColourOf(Clr_PF_BATSU), 2), circle(ColourOf(Clr_PF_MARU), 2);
  p.setBrush(Qt::NoBrush);
  for (size_t k = 0; k < fig.marks.size(); ++k) {
    if (k > 0 && fig.marks[k] != fig.marks[k - 1]) {
      x += cw;
      left += cw;
      right += cw;
    }
    if (fig.marks[k] > 0) {
      y -= rh;
      p.setPen(cross);
      if (style == 0) {
        p.drawLine(x - cw / 3, y - rh / 3, x + cw / 3, y + rh / 3);
        p.drawLine(x - cw / 3, y + rh / 3, x + cw / 3, y - rh / 3);
      } else {
        const QPoint pts[3] = {{right, y + rh / 4 + rh / 8}, {x, y + rh / 8 - rh / 2}, {left, y + rh / 4 + rh / 8}};
        p.drawPolygon(pts, 3);
      }
    } else {
      y += rh;
      p.setPen(circle);
      if (style == 0) {
        p.drawEllipse(QRect(QPoint(x - 3 * cw / 7, y - 3 * rh / 7), QPoint(x + 3 * cw / 7 - 1, y + 3 * rh / 7 - 1)));
      } else {
        const int ty = y - rh / 4 - rh / 8;
        const QPoint pts[3] = {{x, y + rh / 2 - rh / 8}, {left, ty}, {right, ty}};
        p.drawPolygon(pts, 3);
      }
    }
  }
}

void PaintCompare(QImage* image, const int slot_stocks[7]) {
  image->fill(Qt::white);
  const int W = image->width(), H = image->height();
  if (!g_capture.valid) return;
  int stocks[COMPARE_SLOTS];
  for (int s = 0; s < COMPARE_SLOTS; ++s) stocks[s] = slot_stocks[s];
  stocks[0] = g_capture.stock;
  ComparePlot plot;
  BuildComparePlot(stocks, g_capture.ashi, g_capture.from, g_capture.to, W, H, &plot);
  ChartRaster raster(image);
  const QRgb black = qRgb(0, 0, 0), grey = qRgb(0x80, 0x80, 0x80), white = qRgb(255, 255, 255);
  // The frame's outline: right and bottom edge left out, as every rectangle.
  raster.Line(40, 10, W - 82, 10, black);
  raster.Line(W - 83, 10, W - 83, H - 30, black);
  raster.Line(W - 83, H - 31, 40, H - 31, black);
  raster.Line(40, H - 31, 40, 10, black);
  QPainter p(image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  const QFont font = MakeChartFont(u"ＭＳ ゴシック"_qs, 12);
  p.setPen(Qt::black);
  char text[32];
  for (const CompareGridLine& g : plot.grid) {
    if (g.label) {
      std::snprintf(text, sizeof text, "%5d%%", g.level);
      TextAt(p, font, 0, g.y - 4, QString::fromLatin1(text));
    }
    if (g.solid) raster.Line(40, g.y, W - 82, g.y, black);
    else raster.DottedLine(40, g.y, W - 82, g.y, grey, white);
  }
  for (const CompareDateMark& d : plot.dates) {
    if (d.line) raster.DottedLine(d.x, H - 30, d.x, 10, grey, white);
    if (d.label) TextAt(p, font, d.label_x, H - 22, QString::fromLatin1(d.text.c_str()));
  }
  for (int s = COMPARE_SLOTS - 1; s >= 0; --s) {
    if (plot.stock[s] < 0) continue;
    const std::vector<double>& v = plot.values[s];
    const CompareSlotStyle& st = CompareSlotStyles[s];
    const QRgb colour = PixelOf(st.colour);
    std::vector<QPoint> pts;
    int last_y = -1;
    // A bar without data breaks the line.
    auto flush = [&] {
      if (pts.size() >= 2) {
        if (st.dotted) {
          static const QPoint shift[4] = {{0, 0}, {0, 1}, {0, 2}, {1, 1}};
          for (const QPoint& d : shift) {
            int phase = 0;
            for (size_t i = 1; i < pts.size(); ++i)
              raster.Dots(pts[i - 1].x() + d.x(), pts[i - 1].y() + d.y(), pts[i].x() + d.x(), pts[i].y() + d.y(),
                          colour, &phase);
          }
        } else {
          p.setPen(QPen(QColor::fromRgb(colour), 2));
          p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
        }
      }
      pts.clear();
    };
    for (size_t k = 0; k < v.size(); ++k) {
      if (!CompareHasValue(v[k])) {
        flush();
        continue;
      }
      const int y = CompareY(plot.scale, v[k]);
      pts.emplace_back(CompareX(plot.scale, static_cast<int>(k)), y);
      last_y = y;
    }
    flush();
    if (last_y >= 0) {
      p.setPen(QColor::fromRgb(colour));
      TextAt(p, font, W - 76, last_y - 6, FromCp932(fundamental[plot.stock[s]].name));
    }
  }
}

// ---- The tool window ----

PntFgrWindow::PntFgrWindow(QWidget* owner, int mode) : QWidget(owner, Qt::Window), mode_(mode) {
  setObjectName(u"PntFgrClass"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(mode == PNTFGR_MODE_FIGURE
                     ? u"Point&Figure"_qs
                     : u"チャートの比較（対数表示）  銘柄コード入力での比較と日足週足月足で似ているチャートの上位を比較"_qs);
  draw_ = new PntFgrDrawArea(this);
  move(500, 20);
  resize(300, 500);
  if (g_placement.apply && !g_placement.apply(this)) PRT("Fail SetPntFgrWinPlace!\n");
  draw_->setGeometry(0, TOP_BAND, width(), std::max(0, height() - TOP_BAND));
  PntFgrCaptureChart();
  if (mode == PNTFGR_MODE_FIGURE) CreateFigureControls();
  else CreateCompareControls();
  listener_ = ChartPainted.Add([this] {
    PntFgrCaptureChart();
    // Command 1 is posted: the window follows once the chart's paint is over.
    QMetaObject::invokeMethod(this, [this] { ChartFollowed(); }, Qt::QueuedConnection);
  });
}

PntFgrWindow::~PntFgrWindow() {
  ChartPainted.Remove(listener_);
  if (g_placement.read && !g_placement.read(this)) PRT("PntFgr画面配置位置取得失敗\n");
  if (g_window == this) g_window = nullptr;
}

void PntFgrWindow::CreateFigureControls() {
  const QFont f = Mincho(14, 700);
  box_list_ = new QComboBox(this);
  style_list_ = new QComboBox(this);
  for (const char* t : PntFgrBoxText) box_list_->addItem(FromCp932(t));
  style_list_->addItem(u"○"_qs);
  style_list_->addItem(u"△"_qs);
  box_list_->setGeometry(100, 30, 70, 24);
  style_list_->setGeometry(250, 30, 44, 24);
  for (QComboBox* c : {box_list_, style_list_}) {
    c->setObjectName(u"1044"_qs);
    c->setFont(f);
  }
  // Stored indices outside the lists are taken as the nearest entry.
  PntFgr[0] = PntFgrBoxIndex(PntFgr[0]);
  PntFgr[1] = PntFgrMarkStyle(PntFgr[1]);
  box_list_->setCurrentIndex(PntFgr[0]);
  style_list_->setCurrentIndex(PntFgr[1]);
  for (QComboBox* c : {box_list_, style_list_}) {
    connect(c, &QComboBox::currentIndexChanged, this, [this] { FigureChoiceChanged(); });
    connect(c, &QComboBox::activated, this, [this] { setFocus(); });
  }
}

void PntFgrWindow::FigureChoiceChanged() {
  PntFgr[0] = PntFgrBoxIndex(box_list_->currentIndex());
  PntFgr[1] = PntFgrMarkStyle(style_list_->currentIndex());
  draw_->update();
  setFocus();
}

void PntFgrWindow::CreateCompareControls() {
  const int edit_x[3] = {30, 110, 190}, list_x[3] = {290, 470, 650};
  for (int i = 0; i < 6; ++i) {
    check_[i] = new QCheckBox(this);
    check_[i]->setObjectName(u"1044"_qs);
    check_[i]->setGeometry((i < 3 ? edit_x[i] : list_x[i - 3]) - 20, 32, 20, 20);
    check_[i]->setChecked(CompareCheck[i] != 0);
    connect(check_[i], &QCheckBox::clicked, this, [this] { ReadInputs(); });
  }
  for (int i = 0; i < 3; ++i) {
    edit_[i] = new QLineEdit(this);
    edit_[i]->setObjectName(u"1044"_qs);
    edit_[i]->setGeometry(edit_x[i], 30, 50, 23);
    edit_[i]->setAlignment(Qt::AlignRight);
    edit_[i]->setMaxLength(5);
    edit_[i]->setFont(Mincho(16));
    edit_[i]->setText(FromCp932(Code_to_String(CompareCode[i]).c_str()));
    similar_[i] = new QComboBox(this);
    similar_[i]->setObjectName(u"1044"_qs);
    similar_[i]->setGeometry(list_x[i], 32, 130, 22);
    similar_[i]->setFont(Mincho(12));
    connect(similar_[i], &QComboBox::activated, this, [this] { ReadInputs(); });
  }
  RefreshLists();
}

void PntFgrWindow::RefreshLists() {
  for (int p = 0; p < 3; ++p) {
    QComboBox* list = similar_[p];
    const QSignalBlocker block(list);
    list->clear();
    similar_stocks_[p] = SimilarStocks(g_capture.stock, p, SIMILAR_RESULTS);
    int place = 0;
    for (int s : similar_stocks_[p]) list->addItem(FromCp932(SimilarItemText(s, ++place)), s);
    const int sel = g_list_selection[p];
    if (list->count() > 0) list->setCurrentIndex(sel >= 0 && sel < list->count() ? sel : 0);
  }
  ReadInputs();
}

void PntFgrWindow::ReadInputs() {
  if (mode_ != PNTFGR_MODE_COMPARE) return;
  for (int p = 0; p < 3; ++p)
    if (similar_[p]->currentIndex() >= 0) g_list_selection[p] = similar_[p]->currentIndex();
  const int count = LastKabu < 0 ? 0 : std::min(LastKabu, MAX_KABU);
  slot_stock_[0] = g_capture.stock;
  for (int i = 0; i < 6; ++i) {
    CompareCheck[i] = check_[i]->isChecked() ? 1 : 0;
    int stock = -1;
    if (i < 3) {
      const std::string text = ToCp932(edit_[i]->text().left(5));
      const int32_t code = String_to_Code(text.c_str());
      stock = code ? Code_to_StockNum(code) : -1;
      if (stock < 0) {
        PRT("銘柄コードなし %d, code=%d,sTmp=%s,p=%s\n", i, code, text.c_str(), text.c_str());
        if (edit_[i]->text() != u"0"_qs) edit_[i]->setText(u"0"_qs);
        CompareCode[i] = 0;
      } else {
        CompareCode[i] = code;
      }
    } else {
      // The list item carries its stock number.
      const QVariant v = similar_[i - 3]->currentData();
      stock = v.isValid() ? v.toInt() : -1;
    }
    slot_stock_[i + 1] = CompareCheck[i] && stock >= 0 && stock < count ? stock : -1;
  }
  draw_->update();
}

void PntFgrWindow::ChartFollowed() {
  if (mode_ == PNTFGR_MODE_COMPARE) RefreshLists();
  update(0, 0, width(), 28);
  draw_->update();
}

void PntFgrWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  p.setPen(Qt::black);
  const QFont f = MakeChartFont(u"ＭＳ ゴシック"_qs, 14, 700);
  const int n = g_capture.stock;
  if (n >= 0 && n < MAX_KABU) {
    const Fundamental& fu = fundamental[n];
    char market[40], line[200];
    if (fu.market == 0) std::snprintf(market, sizeof market, "%10s", "");
    else std::snprintf(market, sizeof market, "%-10s", MarketNameOf(fu.market));
    std::snprintf(line, sizeof line, "%-24s %s %s", fu.company, market, fu.industry);
    TextAt(p, f, 12, 8, FromCp932(line));
  }
  if (mode_ == PNTFGR_MODE_FIGURE) {
    TextAt(p, f, 20, 35, u"一枠の値幅"_qs);
  } else {
    TextAt(p, f, 250, 35, u"日"_qs);
    TextAt(p, f, 430, 35, u"週"_qs);
    TextAt(p, f, 610, 35, u"月"_qs);
  }
}

void PntFgrWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!isMinimized()) draw_->setGeometry(0, TOP_BAND, width(), std::max(0, height() - TOP_BAND));
}

// ---- Commands ----

namespace {
void ClosePntFgrWindow() {
  PntFgrWindow* w = g_window;
  g_window = nullptr;
  CloseWindowSafely(w);
}
}  // namespace

void PntFgrCommand(int m) {
  PntFgrMode = m;
  const bool open_new = !g_window || m != PntFgrLastMode;
  ClosePntFgrWindow();
  if (open_new && g_owner) {
    g_window = new PntFgrWindow(g_owner, m);
    g_window->show();
  }
  PntFgrLastMode = m;
}

void RegisterPntFgrWindow(QWidget* owner, PntFgrPlacement placement) {
  g_owner = owner;
  g_placement = placement;
  RegisterCommand(IDM_PNTFGR, [](int) { PntFgrCommand(PNTFGR_MODE_FIGURE); });
  RegisterCommand(IDM_COMPARE, [](int) { PntFgrCommand(PNTFGR_MODE_COMPARE); });
  RegisterCommandCheck(IDM_PNTFGR, [] { return g_window && g_window->Mode() == PNTFGR_MODE_FIGURE; });
  RegisterCommandCheck(IDM_COMPARE, [] { return g_window && g_window->Mode() == PNTFGR_MODE_COMPARE; });
  RegisterToolWindowCloser(ClosePntFgrWindow);
}
