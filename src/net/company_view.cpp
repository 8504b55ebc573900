#include "net/company_view.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "db/price_model.h"
#include "lists/screening_snapshot.h"
#include "platform/codepage.h"
#include "platform/format_text.h"

const char* const FunColumnLabel[FUN_COLUMNS] = {
    "決算年月", "売上高",           "営業利益",         "経常利益", "当期利益", "１株益(円)",
    "１株配(円)", "営業利益率（％）", "１株純資産（円）", "総資産",   "純資産",   "資本金",
    "有利子負債", "自己資本比率",     "決算月数",         "ＲＯＡ",   "ＲＯＥ",
};

namespace {

constexpr bool kPl[FUN_COLUMNS] = {false, true, true, true, true, true, true, true, false,
                                   false, false, false, false, false, true, false, false};

bool InTable(int k) { return k >= 0 && k < LastKabu && k < MAX_KABU; }

}  // namespace

bool FunIsPlColumn(int column) { return column >= 0 && column < FUN_COLUMNS && kPl[column]; }

double FunFigureOf(int k, int figure) {
  if (!InTable(k)) return 0;
  switch (figure) {
    case FUN_PER: return pht_value[k].per;
    case FUN_PBR: return pht_value[k].pbr;
    case FUN_ROE: return fundamental[k].roe;
    case FUN_YIELD: return pht_value[k].yield;
  }
  return 0;
}

FunPeerStats ComputePeerStats(int a) {
  FunPeerStats s;
  s.stock = a;
  for (int& p : s.place) p = 1;
  if (!InTable(a)) return s;
  double sum[FUN_FIGURES] = {}, count[FUN_FIGURES] = {};
  for (int f = 0; f < FUN_FIGURES; ++f) s.value[f] = FunFigureOf(a, f);
  const Fundamental& fa = fundamental[a];
  for (int k = 0; k < LastKabu; ++k) {
    const Fundamental& fk = fundamental[k];
    if (fk.market != fa.market || std::strncmp(fk.industry, fa.industry, sizeof fa.industry) != 0) continue;
    ++s.n;
    double v[FUN_FIGURES];
    for (int f = 0; f < FUN_FIGURES; ++f) v[f] = FunFigureOf(k, f);
    if (v[FUN_PER] > 0) sum[FUN_PER] += v[FUN_PER], ++count[FUN_PER];
    if (v[FUN_PBR] >= 0) sum[FUN_PBR] += v[FUN_PBR], ++count[FUN_PBR];
    if (v[FUN_ROE] >= 0) sum[FUN_ROE] += v[FUN_ROE], ++count[FUN_ROE];
    sum[FUN_YIELD] += v[FUN_YIELD];
    if (v[FUN_PER] > 0 && v[FUN_PER] < s.value[FUN_PER]) ++s.place[FUN_PER];
    for (int f : {FUN_PBR, FUN_ROE, FUN_YIELD})
      if (v[f] > s.value[f]) ++s.place[f];
  }
  count[FUN_YIELD] = s.n;
  for (int f = 0; f < FUN_FIGURES; ++f) {
    if (s.value[f] <= 0) s.place[f] = s.n;
    s.average[f] = sum[f] != 0 && count[f] > 0 ? sum[f] / count[f] : 0;
  }
  return s;
}

std::string FunShortLine(int i, const FunPeerStats& s) {
  if (!InTable(s.stock)) return " ";
  const Fundamental& f = fundamental[s.stock];
  switch (i) {
    case 1: return FormatText("業種　: %s", f.industry);
    case 2: return FormatText("市場　: %s", MarketNameOf(f.market));
    case 3: return "　　　　　 　　      　同市場同業種内";
    case 4: return "　　　　　         　　順位　    平均";
    case 5:
      return FormatText("ＰＥＲ　　: %6.2f倍　 %3d/%3d   %6.2f倍", s.value[FUN_PER], s.place[FUN_PER], s.n,
                    s.average[FUN_PER]);
    case 6:
      return FormatText("ＰＢＲ　　: %6.2f倍 　%3d/%3d   %6.2f倍", s.value[FUN_PBR], s.place[FUN_PBR], s.n,
                    s.average[FUN_PBR]);
    case 7:
      return FormatText("ＲＯＥ　　: %6.2f%%  　%3d/%3d   %6.2f%%", s.value[FUN_ROE], s.place[FUN_ROE], s.n,
                    s.average[FUN_ROE]);
    case 8:
      return FormatText("配当利回り: %6.2f%%  　%3d/%3d   %6.2f%%", s.value[FUN_YIELD], s.place[FUN_YIELD], s.n,
                    s.average[FUN_YIELD]);
  }
  return " ";
}

std::string FunLongLine(int i, const FunRecord& r, const FunPeerStats& s) {
  if (!InTable(s.stock)) return " ";
  const Fundamental& f = fundamental[s.stock];
  auto row = [&](int column) {
    return FormatText("%-18s: %14s |%14s |%14s |", FunColumnLabel[column], r.table[0][column], r.table[1][column],
                  r.table[2][column]);
  };
  switch (i) {
    case 20: return " ＜企業情報＞";
    case 21: return FormatText("    %-6s: %s", "業種", r.text[FUN_INDUSTRY]);
    case 24: return FormatText(" ＜同市場同業種内比較(%s : %s)＞", MarketNameOf(f.market), f.industry);
    case 25:
      return FormatText("      PER：%5.2f倍  PBR：%5.2f倍  ROE：%5.2f%%  配当：%5.2f%%", s.value[FUN_PER],
                    s.value[FUN_PBR], s.value[FUN_ROE], s.value[FUN_YIELD]);
    case 26:
      return FormatText("各平均    %6.2f倍      %6.2f倍      %6.2f%%       %6.2f%%", s.average[FUN_PER],
                    s.average[FUN_PBR], s.average[FUN_ROE], s.average[FUN_YIELD]);
    case 27:
      return FormatText("各順位    %3d/%3d       %3d/%3d       %3d/%3d       %3d/%3d", s.place[FUN_PER], s.n,
                    s.place[FUN_PBR], s.n, s.place[FUN_ROE], s.n, s.place[FUN_YIELD], s.n);
    case 29: return " ＜決算情報（百万円)＞";
    case 30: return "                ---連結決算----------------------------------------- ";
    case 42: return row(13);
    case 43: return row(16);
    case 44: return row(14);
  }
  if (i >= 31 && i <= 41) return row(i - 31);
  return " ";
}

double FunCellNumber(const char* cell) {
  char digits[FUN_CELL_SIZE + 1];
  size_t n = 0;
  for (const char* p = cell; *p && n < sizeof digits - 1; ++p)
    if (*p != ',') digits[n++] = *p;
  digits[n] = '\0';
  char* end = nullptr;
  const double v = std::strtod(digits, &end);
  return end == digits ? 0 : v;
}

double FunPeriodValue(const FunRecord& r, int row, int column) {
  const double v = FunCellNumber(r.table[row][column]);
  const bool interim = Cp932Find(r.table[row][0], "中") != std::string::npos;
  return interim && FunIsPlColumn(column) ? v * 2 : v;
}

FunChartBox FunChartBoxAt(int scroll) {
  FunChartBox b;
  b.top = (2 - scroll) * FUN_LINE_HEIGHT;
  b.bottom = (15 - scroll) * FUN_LINE_HEIGHT;
  b.mid = (b.top + b.bottom) / 2;
  return b;
}

bool FunClipSegment(const FunChartBox& box, int x0, double p0, int x1, double p1, FunSegment* out) {
  if ((p0 > 60 && p1 > 60) || (p0 < -60 && p1 < -60)) return false;
  auto crossing = [&](double edge) { return static_cast<int>(x0 + (x1 - x0) * (edge - p0) / (p1 - p0)); };
  auto end = [&](double p, int x, int* ox, int* oy) {
    if (p > 60 || p < -60) {
      const double edge = p > 60 ? 60 : -60;
      *ox = crossing(edge);
      *oy = box.Y(edge);
    } else {
      *ox = x;
      *oy = box.Y(p);
    }
  };
  end(p0, x0, &out->x0, &out->y0);
  end(p1, x1, &out->x1, &out->y1);
  return true;
}

FunChange FunChangeOf(const FunRecord& r, int column) {
  FunChange c;
  auto has = [&](int row) { return Cp932Find(r.table[row][column], "--") == std::string::npos; };
  if (!has(0) || !has(1)) return c;
  c.shown = true;
  c.has_r2 = has(2);
  const double f0 = FunPeriodValue(r, 0, column), f1 = FunPeriodValue(r, 1, column);
  const double f2 = c.has_r2 ? FunPeriodValue(r, 2, column) : 0;
  if (f0 > 0) {
    c.r1 = (f1 - f0) * 100 / f0;
    c.r2 = (f2 - f0) * 100 / f0;
  }
  return c;
}

const char* FunVerdict(double a, double b, unsigned* rgb) {
  if (a == 0 || b == 0) {
    *rgb = 0x000000;
    return "----";
  }
  if (b > a) {
    *rgb = 0x0000FF;
    return "上昇";
  }
  if (b < a) {
    *rgb = 0xFF0000;
    return "下降";
  }
  *rgb = 0x000000;
  return "不変";
}
