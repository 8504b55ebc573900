#include "chart/ui/value_tip_window.h"

#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cstdio>

#include "chart/ui/chart_fonts.h"
#include "platform/qt/qt_codepage.h"

namespace {

QPointer<QWidget> g_owner;
QPointer<ValueTipWindow> g_tip;

QFont TipFont() { return MakeChartFont(u"ＭＳ Ｐゴシック"_qs, 12); }

// The rows in drawing order below the date, with their measuring texts.
constexpr TipRow kValueRows[] = {TIP_OPEN, TIP_HIGH, TIP_LOW, TIP_CLOSE, TIP_VOLUME, TIP_AVE1, TIP_AVE2, TIP_AVE3,
                                 TIP_MARGIN_BUY, TIP_MARGIN_SELL};

int MeasureColumn(const TipContent& c) {
  const QFontMetrics fm(TipFont());
  int w = fm.horizontalAdvance(FromCp932(c.row[TIP_DATE]));
  static const char* const kLabel[] = {"初", "高", "安", "終", "出"};
  char buf[64];
  for (int k = 0; k < 5; ++k) {
    std::snprintf(buf, sizeof buf, "%s  %s", kLabel[k], c.row[TIP_OPEN + k]);
    w = std::max(w, fm.horizontalAdvance(FromCp932(buf)));
  }
  for (int k = 0; k < (c.third ? 3 : 2); ++k) {
    std::snprintf(buf, sizeof buf, "%d%s平  %s", c.period[k], c.unit, c.row[TIP_AVE1 + k]);
    w = std::max(w, fm.horizontalAdvance(FromCp932(buf)));
  }
  std::snprintf(buf, sizeof buf, "信売  %s", c.row[TIP_MARGIN_SELL]);
  w = std::max(w, fm.horizontalAdvance(FromCp932(buf)));
  std::snprintf(buf, sizeof buf, "信買  %s", c.row[TIP_MARGIN_BUY]);
  return std::max(w, fm.horizontalAdvance(FromCp932(buf)));
}

// The height paintEvent needs: the date line and every value row at the font's own line
// height (more than its pixel size), with the margins; never less than the layout asked for.
int MeasureHeight(const TipContent& c) {
  const QFontMetrics fm(TipFont());
  int rows = 0;
  for (TipRow r : kValueRows) rows += r != TIP_AVE3 || c.third;
  return std::max(c.height, fm.height() + 2 + rows * fm.height() + 2);
}

}  // namespace

ValueTipWindow::ValueTipWindow(QWidget* owner, const TipContent& content)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      content_(content),
      column_(MeasureColumn(content)) {
  setObjectName(u"CtipClass"_qs);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  resize(column_ + 6, MeasureHeight(content));
}

void ValueTipWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::ToolTipBase));
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QFont font = TipFont();
  const QFontMetrics fm(font);
  p.setFont(font);
  // Label column; the first line stays free for the date.
  const QRect text = rect().adjusted(2, 2, 0, 0);
  p.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, FromCp932(TipLabelText(content_).c_str()));
  const QString date = FromCp932(content_.row[TIP_DATE]);
  p.drawText((column_ - fm.horizontalAdvance(date)) / 2 + 2, 1 + fm.ascent(), date);
  int y = fm.height() + 2;
  for (TipRow r : kValueRows) {
    if (r == TIP_AVE3 && !content_.third) continue;
    const QString v = FromCp932(content_.row[r]);
    p.drawText(column_ + 2 - fm.horizontalAdvance(v), y + fm.ascent(), v);
    y += fm.height();
  }
}

ValueTipWindow* TheValueTipWindow() { return g_tip; }

void InstallValueTipWindow(QWidget* owner) {
  g_owner = owner;
  ValueTipWindowHooks h;
  h.show = [](const TipContent& c, int x, int y) {
    delete g_tip.data();
    g_tip = new ValueTipWindow(g_owner, c);
    g_tip->move(x, y);
    g_tip->show();
  };
  h.destroy = [] { delete g_tip.data(); };
  SetValueTipWindowHooks(h);
}
