#include "chart/cross_cursor.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "chart/chart_layout.h"
#include "chart/chart_repaint.h"
#include "chart/chart_series.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/value_tip.h"
#include "db/day_index.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/number_text.h"

CrossLine CrossLines[CROSS_VIEW_MAX];
int nCrossLine = 0;

namespace {

int g_x = -1, g_y = -1;            // cross-hair drawn last
int g_last_x = -1, g_last_y = -1;  // snapped position of the previous move
char g_prev_labels[CROSS_VIEW_MAX][CROSS_TEXT];
int g_prev_count = -1;
int g_resize_count = -1;
bool g_overflow_logged = false;
CrossWindowHooks g_hooks;

int Spacing() {
  const int a = AshiFlag >= 1 && AshiFlag <= 3 ? AshiFlag - 1 : 0;
  return CandleHaba[a] > 0 ? CandleHaba[a] : 1;
}

void Copy(char* dst, const char* src) {
  std::strncpy(dst, src, CROSS_TEXT - 1);
  dst[CROSS_TEXT - 1] = '\0';
}

// Appends a line; beyond the capacity the line is dropped and the overflow logged once per
// build, so a long indicator list never stops the program.
void AddLine(const char* label, const std::string& value, bool fit = false) {
  if (nCrossLine >= CROSS_VIEW_MAX) {
    if (!g_overflow_logged) PRT("m > CROSS_VIEW_MAX !\n");
    g_overflow_logged = true;
    return;
  }
  CrossLine& l = CrossLines[nCrossLine++];
  Copy(l.label, label);
  Copy(l.value, value.c_str());
  if (fit) FitCrossLine(&l);
}

bool InRange(int i) {
  static const int kMax[4] = {0, 2815, 703, 186};
  static const char* const kMsg[4] = {"", "日足範囲Err=%d\n", "週足範囲Err=%d\n", "月足範囲Err=%d\n"};
  if (AshiFlag < 1 || AshiFlag > 3) return false;
  if (i < 0 || i > kMax[AshiFlag]) {
    PRT(kMsg[AshiFlag], i);
    return false;
  }
  return true;
}

// The estimated date of an empty slot F bars after the last one (the cloud reaches there).
std::string EstimatedDate(int f) {
  if (LastDate < 1) return "?";
  const int32_t last = nikkei_date[LastDate - 1];
  std::tm t{};
  t.tm_year = last / 10000 - 1900;
  t.tm_mon = last / 100 % 100 - 1;
  t.tm_mday = last % 100;
  t.tm_hour = 12;  // away from daylight-saving edges
  t.tm_isdst = -1;
  if (std::mktime(&t) == -1) return "?";
  if (AshiFlag == 1) {
    const int q = f / 5, r = f % 5;
    t.tm_mday += 7 * q + r + (t.tm_wday + r >= 6 ? 2 : 0);
  } else if (AshiFlag == 2) {
    t.tm_mday += 7 * f;
  } else {
    t.tm_mon += f;
  }
  if (std::mktime(&t) == -1) return "?";
  char buf[CROSS_TEXT];
  if (AshiFlag == 3) std::snprintf(buf, sizeof buf, "%4d/%2d?", t.tm_year + 1900, t.tm_mon + 1);
  else std::snprintf(buf, sizeof buf, "%4d/%2d/%02d?", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return buf;
}

}  // namespace

std::string CrossValueText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, std::fabs(v) >= 10000 ? "%.0f" : "%.1f", v);
  CommaInsert(buf, sizeof buf);
  return buf;
}

void FitCrossLine(CrossLine* line) {
  const int ll = static_cast<int>(std::strlen(line->label));
  const int over = ll + static_cast<int>(std::strlen(line->value)) - 17;
  if (over <= 0) return;
  const int cut = (over + 1) / 2 * 2;
  int keep = ll - cut;
  if (keep > 0) {
    // Keep double-byte characters whole: walk the label by characters.
    int pos = 0;
    while (pos < keep) {
      const unsigned char c = static_cast<unsigned char>(line->label[pos]);
      const int step = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
      if (pos + step > keep) break;
      pos += step;
    }
    keep = pos;
  }
  if (keep <= 0) Copy(line->label, " ");
  else line->label[keep] = '\0';
}

std::string CrossDateText(int i) {
  if (!InRange(i)) return "";
  char buf[CROSS_TEXT];
  if (AshiFlag == 1) return DayIndex_to_String(i, buf);
  if (AshiFlag == 2) return DayIndex_to_String(WeekTable[i].first_day, buf);
  std::snprintf(buf, sizeof buf, "%d/%2d", MonthFirst[i] / 10000, MonthFirst[i] / 100 % 100);
  return buf;
}

bool BuildCrossLines(int i) {
  if (!InRange(i)) return false;
  nCrossLine = 0;
  g_overflow_logged = false;
  const DispSeries& s = ChartSeries;
  if (fViewIchimoku && i > s.DispEnd) {
    AddLine("", EstimatedDate(i - s.DispEnd));
  } else {
    AddLine("", CrossDateText(i));
    AddLine("始値", CommaAdd(s.open[i]));
    AddLine("高値", CommaAdd(s.high[i]));
    AddLine("安値", CommaAdd(s.low[i]));
    AddLine("終値", CommaAdd(s.close[i]));
    if (i >= 1 && s.close[i - 1] != 0) {
      const int c = s.close[i], p = s.close[i - 1];
      const char* sign = c > p ? "+" : "";
      AddLine("前日比", std::string(sign) + CommaAdd(static_cast<int64_t>(c) - p));
      char buf[CROSS_TEXT];
      std::snprintf(buf, sizeof buf, "%s%.2f%%", sign, c * 100.0 / p - 100);
      AddLine("", buf);
    }
    AddLine("出来高", CommaAdd(s.deki[i]), true);
    if (ChartRecordFlag & FLAG_MARGIN) {
      AddLine("信用買残", CommaAdd(s.margin_buy[i]), true);
      AddLine("信用売残", CommaAdd(s.margin_sell[i]), true);
      char buf[CROSS_TEXT] = " ";
      if (s.margin_sell[i] != 0)
        std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(s.margin_buy[i]) / s.margin_sell[i]);
      AddLine("信用倍率", buf);
    }
  }
  for (int k = 0; k < nChartLine && k < CHART_LINE_MAX; ++k) {
    const IndicatorLine& l = ChartLines[k];
    const double v = i >= 0 && i < LINE_VALUE_COUNT && LineHasValue(l, i) ? l.value[i] : 0.0;
    AddLine(l.short_label, CrossValueText(v));
  }
  if (nCrossLine != g_resize_count) {
    g_resize_count = nCrossLine;
    if (g_hooks.resize && CrossWindowExists()) g_hooks.resize(nCrossLine);
  }
  bool same = nCrossLine == g_prev_count;
  for (int k = 0; same && k < nCrossLine; ++k) same = std::strcmp(g_prev_labels[k], CrossLines[k].label) == 0;
  if (g_hooks.lines_changed && CrossWindowExists()) g_hooks.lines_changed(same);
  for (int k = 0; k < nCrossLine; ++k) Copy(g_prev_labels[k], CrossLines[k].label);
  g_prev_count = nCrossLine;
  return true;
}

int MoveCross(int mode, int mx, int my, const CrossDrawFn& draw) {
  const int sp = Spacing();
  if (mode == 0) {
    const int sx = sp * (mx / sp) + sp / 2;
    if (sx == g_last_x && my == g_last_y) return -1;
    const bool vertical = sx != g_last_x;
    if (g_x >= 0 || g_y >= 0) draw(g_x, g_y, vertical);
    g_x = sx;
    g_y = my;
    draw(g_x, g_y, vertical);
    g_last_y = my;
    if (!vertical) return -1;
    g_last_x = sx;
  } else {
    if (g_x < 0 && g_y < 0) return -1;
    draw(g_x, g_y, true);
  }
  const int end = fViewIchimoku && AshiFlag >= 1 && AshiFlag <= 3 ? ScrollPos[AshiFlag - 1] : Metrics.DispEnd;
  for (int i = Metrics.DispStart; i <= end; ++i)
    if (CentreX(Metrics, i) == g_x) return BuildCrossLines(i) ? i : -1;
  return -1;
}

int CrossX() { return g_x; }
int CrossY() { return g_y; }

void ResetCross() {
  g_x = g_y = g_last_x = g_last_y = -1;
  g_prev_count = g_resize_count = -1;
  nCrossLine = 0;
}

void SetCrossWindowHooks(const CrossWindowHooks& hooks) { g_hooks = hooks; }

bool CrossWindowExists() { return g_hooks.exists && g_hooks.exists(); }

bool CrossCursorOn() { return CrossView != 0 && CrossWindowExists(); }

void ToggleCross() {
  const bool create = !CrossWindowExists();
  if (g_hooks.set_window) g_hooks.set_window(create);
  if (create) g_resize_count = -1;  // a new window takes the height of the next build
  CrossView = CrossWindowExists() ? 1 : 0;
  DestroyValueTip();
  RequestChartRepaint();
}

void RegisterCrossCommands() {
  RegisterCommand(IDM_CROSS_CURSOR, [](int) { ToggleCross(); });
  RegisterCommandCheck(IDM_CROSS_CURSOR, [] { return CrossCursorOn(); });
}
