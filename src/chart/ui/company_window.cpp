#include "chart/ui/company_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdio>

#include "chart/shown_stock.h"
#include "chart/ui/chart_fonts.h"
#include "chart/ui/chart_renderer.h"
#include "db/database_file.h"
#include "db/price_model.h"
#include "net/company_file.h"
#include "net/company_view.h"
#include "net/net_config.h"
#include "net/web_symbol.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"
#include "platform/virtual_keys.h"
#include "platform/web_url.h"

namespace {

QPointer<CompanyWindow> g_window;
QPointer<QWidget> g_owner;
CompanyWindowShell g_shell;
FunPeerStats g_stats;  // stock -1 until the first paint

constexpr int kLine = FUN_LINE_HEIGHT;
constexpr int kViewTop = 60;

bool ShownIsIndex() { return DispNum >= 0 && DispNum < LastKabu && (fundamental[DispNum].flag & FLAG_INDEX); }

// The shown stock's downloaded record, or nullptr.
const FunRecord* ShownRecord() {
  if (DispNum < 0 || DispNum >= LastKabu) return nullptr;
  if (!ReadFun(DispNum, 1) || FunBuf.code == 0) return nullptr;
  return &FunBuf;
}

QColor Rgb(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Text with its top-left corner at (x, y), as the window's drawing rules place it.
void DrawText(QPainter& p, int x, int y, const std::string& text, std::vector<std::string>* log) {
  p.drawText(QPoint(x, y + QFontMetrics(p.font()).ascent()), FromCp932(text));
  if (log) log->push_back(text);
}

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

void DrawChangeChart(QPainter& p, const FunRecord& r, int scroll, std::vector<std::string>* log) {
  const FunChartBox box = FunChartBoxAt(scroll);
  p.setFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 12));
  p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  p.drawLine(30, box.top, 30, box.bottom);
  p.drawLine(200, box.top, 200, box.bottom);
  for (int y : {box.top, box.mid, box.bottom}) p.drawLine(30, y, 200, y);
  DrawText(p, 10, box.bottom + 10, r.table[0][0], log);
  DrawText(p, 100, box.bottom + 10, r.table[1][0], log);
  DrawText(p, 185, box.bottom + 10, r.table[2][0], log);
  DrawText(p, 65, box.top - 15, "連結決算数値の変動率", log);
  p.setPen(QPen(Qt::black, 1, Qt::DotLine));
  const int q1 = box.mid + (box.top - box.mid) / 2, q2 = box.mid - (box.mid - box.bottom) / 2;
  p.drawLine(115, box.top, 115, box.bottom);
  p.drawLine(30, q1, 200, q1);
  p.drawLine(30, q2, 200, q2);
  DrawText(p, 10, box.mid - 5, "0%", log);
  DrawText(p, 5, q1 - 5, Printf("+%2.0f%%", 30), log);
  DrawText(p, 5, q2 - 5, Printf("-%2.0f%%", 30), log);
  const struct {
    int column;
    unsigned rgb;
  } series[2] = {{1, 0xFF0000}, {8, 0x008000}};
  for (int i = 0; i < 2; ++i) {
    const FunChange c = FunChangeOf(r, series[i].column);
    if (!c.shown) continue;
    p.setPen(QPen(Rgb(series[i].rgb), 2, Qt::SolidLine));
    FunSegment s;
    if (FunClipSegment(box, 30, 0, 115, c.r1, &s)) p.drawLine(s.x0, s.y0, s.x1, s.y1);
    if (c.has_r2 && FunClipSegment(box, 115, c.r1, 200, c.r2, &s)) p.drawLine(s.x0, s.y0, s.x1, s.y1);
    const int y = (i + 2) * kLine + box.bottom - 5;
    DrawText(p, 5, y, FunColumnLabel[series[i].column], log);
    DrawText(p, 100, y, Printf("%6.2f%%", c.r1), log);
    DrawText(p, 185, y, c.has_r2 ? Printf("%6.2f%%", c.r2) : std::string("----%"), log);
  }
}

void DrawYearOnYear(QPainter& p, const FunRecord& r, int scroll, std::vector<std::string>* log) {
  const FunChartBox box = FunChartBoxAt(scroll);
  p.setFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 12));
  p.setPen(Qt::black);
  DrawText(p, 230, box.top - kLine, "●連結前年対比", log);
  DrawText(p, 355, box.top - kLine, r.table[1][0], log);
  DrawText(p, 435, box.top - kLine, r.table[2][0], log);
  for (int k = 0; k < 10; ++k) {
    const int column = k + 1, y = box.top + kLine * k;
    p.setPen(Qt::black);
    DrawText(p, 245, y, FunColumnLabel[column], log);
    const double f0 = FunCellNumber(r.table[0][column]), f1 = FunCellNumber(r.table[1][column]),
                 f2 = FunCellNumber(r.table[2][column]);
    unsigned rgb = 0;
    const char* v1 = FunVerdict(f0, f1, &rgb);
    p.setPen(Rgb(rgb));
    DrawText(p, 365, y, v1, log);
    const char* v2 = FunVerdict(f1, f2, &rgb);
    p.setPen(Rgb(rgb));
    DrawText(p, 445, y, v2, log);
  }
}

}  // namespace

CompanyWindow* TheCompanyWindow() { return g_window; }

// ---- the view ---------------------------------------------------------------------------

CompanyView::CompanyView(QWidget* parent) : QWidget(parent) {
  setObjectName(u"WFunDrawWndClass"_qs);
  setFocusPolicy(Qt::StrongFocus);
  bar_ = new QScrollBar(Qt::Vertical, this);
  bar_->setRange(0, FUN_PAGE_LINES);
  bar_->setValue(0);
  connect(bar_, &QScrollBar::actionTriggered, this, [this](int action) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: ScrollBy(0); break;
      case QAbstractSlider::SliderSingleStepAdd: ScrollBy(1); break;
      case QAbstractSlider::SliderPageStepSub: ScrollBy(2); break;
      case QAbstractSlider::SliderPageStepAdd: ScrollBy(3); break;
      case QAbstractSlider::SliderMove: ScrollBy(4, bar_->sliderPosition()); break;
      default: break;
    }
  });
}

int CompanyView::PageLines() const { return (height() > 0 ? height() : 0) / kLine; }

void CompanyView::ScrollBy(int action, int thumb) {
  const int page = PageLines();
  int pos = scroll_;
  switch (action) {
    case 0: case VK_UP: pos -= 1; break;
    case 1: case VK_DOWN: pos += 1; break;
    case 2: case VK_PRIOR: pos += 1 - page / 2; break;
    case 3: case VK_NEXT: pos += page / 2 - 1; break;
    case 4: pos = thumb; break;
    default: return;
  }
  SetScroll(pos);
}

void CompanyView::WheelBy(int delta) { SetScroll(scroll_ + delta / -120 * 3); }

void CompanyView::SetScroll(int pos) {
  const int before = scroll_;
  if (pos < 0) pos = 0;
  if (ShownIsIndex() || !ShownRecord()) pos = 0;
  const int last = FUN_PAGE_LINES - PageLines();
  QSignalBlocker block(bar_);
  bar_->setValue(pos);
  if (pos >= last) {
    pos = last > 0 ? last : 0;
    bar_->setValue(FUN_PAGE_LINES);
  }
  scroll_ = pos;
  if (scroll_ != before) update();
}

void CompanyView::resizeEvent(QResizeEvent*) {
  const int w = bar_->sizeHint().width();
  bar_->setGeometry(width() - w, 0, w, height());
}

void CompanyView::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up: ScrollBy(VK_UP); break;
    case Qt::Key_Down: ScrollBy(VK_DOWN); break;
    case Qt::Key_PageUp: ScrollBy(VK_PRIOR); break;
    case Qt::Key_PageDown: ScrollBy(VK_NEXT); break;
    default: QWidget::keyPressEvent(e);
  }
}

void CompanyView::wheelEvent(QWheelEvent* e) { WheelBy(e->angleDelta().y()); }

void CompanyView::paintEvent(QPaintEvent*) {
  PaintBuffered(this, &image_, [this](QImage* img) { Draw(img); });
}

void CompanyView::Draw(QImage* image) {
  texts_.clear();
  QPainter p(image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.fillRect(image->rect(), Qt::white);
  p.setPen(Qt::black);
  const int page = PageLines();
  if (g_stats.stock != DispNum) g_stats = ComputePeerStats(DispNum);
  p.setFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 14));
  if (ShownIsIndex()) {
    DrawText(p, 10, 42, "指標のため「企業情報」なし。", &texts_);
    return;
  }
  if (const FunRecord* r = ShownRecord()) {
    const FunRecord record = *r;  // the buffer may be read again while drawing
    for (int e = 0; e < page; ++e) DrawText(p, 9, kLine * e, FunLongLine(scroll_ + e, record, g_stats), &texts_);
    DrawChangeChart(p, record, scroll_, &texts_);
    DrawYearOnYear(p, record, scroll_, &texts_);
    return;
  }
  for (int i = 0; i < page; ++i) DrawText(p, 10, kLine * i, FunShortLine(i, g_stats), &texts_);
}

// ---- the window -------------------------------------------------------------------------

CompanyWindow::CompanyWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(u"WFunClass"_qs);
  g_stats = FunPeerStats{};  // computed again at the first paint
  setWindowTitle(u"企業情報"_qs);
  setAttribute(Qt::WA_DeleteOnClose);
  setGeometry(500, 20, 300, 500);
  if (g_shell.apply_placement) g_shell.apply_placement(this);
  view_ = new CompanyView(this);
  QFont font(u"ＭＳ Ｐゴシック"_qs);
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  auto button = [&](const QString& text, int id) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::number(id));
    b->setFont(font);
    b->setFixedSize(78, 22);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  performance_ = button(u"Yahoo!の情報"_qs, IDM_FUN_PERFORMANCE);
  detail_ = button(u"詳細情報"_qs, IDM_FUN_DETAIL);
  homepage_ = button(u"ホームページ"_qs, IDM_FUN_HOMEPAGE);
  connect(performance_, &QPushButton::clicked, this, [] { OnCommand(IDM_FUN_PERFORMANCE); });
  connect(detail_, &QPushButton::clicked, this, [] { OnCommand(IDM_FUN_DETAIL); });
  connect(homepage_, &QPushButton::clicked, this, [] { OnCommand(IDM_FUN_HOMEPAGE); });
  listener_ = ShownStockChanged.Add([this](int) { Refresh(); });
  UpdateButtons();
}

CompanyWindow::~CompanyWindow() { ShownStockChanged.Remove(listener_); }

QPushButton* CompanyWindow::Button(int id) const {
  switch (id) {
    case IDM_FUN_DETAIL: return detail_;
    case IDM_FUN_HOMEPAGE: return homepage_;
    case IDM_FUN_PERFORMANCE: return performance_;
  }
  return nullptr;
}

void CompanyWindow::Refresh() {
  UpdateButtons();
  update(0, 0, width(), 28);
  view_->update();
}

void CompanyWindow::UpdateButtons() {
  const bool company = DispNum >= 0 && DispNum < LastKabu && !ShownIsIndex();
  detail_->setEnabled(!fSampleDB && company);
  const FunRecord* r = ShownRecord();
  // The address came from a page: only a plain web address is offered (and checked again on click).
  homepage_->setEnabled(r && IsWellFormedWebUrl(r->text[FUN_HOMEPAGE]));
  performance_->setEnabled(true);
}

void CompanyWindow::resizeEvent(QResizeEvent*) {
  view_->setGeometry(0, kViewTop, width(), height() > kViewTop ? height() - kViewTop : 0);
  performance_->move(12, 30);
  detail_->move(110, 30);
  homepage_->move(210, 30);
}

void CompanyWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(MakeChartFont(u"ＭＳ ゴシック"_qs, 14, 700));
  p.setPen(Qt::black);
  band_.clear();
  if (DispNum < 0 || DispNum >= LastKabu) return;
  const Fundamental& f = fundamental[DispNum];
  char market[64];
  if (f.market == 0) std::snprintf(market, sizeof market, "%10s", "");
  else std::snprintf(market, sizeof market, "%-10s", MarketNameOf(f.market));
  char text[256];
  std::snprintf(text, sizeof text, "%-24s %s %s", f.company, market, f.industry);
  band_ = text;
  DrawText(p, 12, 8, band_, nullptr);
}

void CompanyWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
  view_->keyPressEvent(&copy);
}

void CompanyWindow::wheelEvent(QWheelEvent* e) { view_->WheelBy(e->angleDelta().y()); }

void CompanyWindow::closeEvent(QCloseEvent* e) {
  if (g_shell.read_placement) g_shell.read_placement(this);
  QWidget::closeEvent(e);
}

void CompanyWindow::OnDetail() {
  if (g_shell.close_tool_windows) g_shell.close_tool_windows();
  setEnabled(false);
  // The timed download waits while the dialog runs.
  const int busy = fBusy;
  fBusy = 1;
  if (g_shell.run_download_dialog) g_shell.run_download_dialog();
  fBusy = busy;
  setEnabled(true);
  ResetFunBuffer();
  UpdateButtons();
  update();
  view_->update();
}

// ---- the pages in the browser -----------------------------------------------------------

void OpenCompanyHomePage() {
  if (DispNum < 0 || DispNum >= LastKabu || !ReadFun(DispNum, 1) || FunBuf.code == 0) return;
  const std::string url = FunBuf.text[FUN_HOMEPAGE];
  // The address came from a page: it is opened only when it is a plain web address.
  if (!IsWellFormedWebUrl(url)) {
    PRT("開けないアドレスです: %.100s\n", url.c_str());
    return;
  }
  HostOpenUrl(url);
}

void OpenCompanyPerformancePage() {
  if (DispNum < 0 || DispNum >= LastKabu) return;
  const Fundamental& f = fundamental[DispNum];
  char rel[64];
  std::snprintf(rel, sizeof rel, "/quote/%s/performance", WebSymbol(f.code, f.market).c_str());
  const std::string url = WebUrl(CurrentNetConfig().portal_url, rel);
  PRT("%s\n", url.c_str());
  if (IsWellFormedWebUrl(url)) HostOpenUrl(url);
}

void RegisterCompanyWindow(QWidget* owner, CompanyWindowShell shell) {
  g_owner = owner;
  g_shell = shell;
  RegisterCommand(IDM_COMPANY_INFO, [](int) {
    if (g_window) {
      g_window->close();
      return;
    }
    if (!g_owner) return;
    g_window = new CompanyWindow(g_owner);
    g_window->show();
  });
  RegisterCommandCheck(IDM_COMPANY_INFO, [] { return !g_window.isNull(); });
  RegisterCommand(IDM_FUN_DETAIL, [](int) {
    if (g_window) g_window->OnDetail();
  });
  RegisterCommand(IDM_FUN_HOMEPAGE, [](int) { OpenCompanyHomePage(); });
  RegisterCommand(IDM_FUN_PERFORMANCE, [](int) { OpenCompanyPerformancePage(); });
}
