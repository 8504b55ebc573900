#include "chart/indicators/dmi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/indicator_common.h"

int CalcDMI(const DispSeries& ds, int ashi, int n, IndicatorLine* out) {
  const int N = ClampWindow(n, 1);
  const char* unit = AshiUnitWord(ashi);
  IndicatorLine* adx = &out[0];
  IndicatorLine* plus = &out[1];
  IndicatorLine* minus = &out[2];
  const char* title = "ＤＭＩ(トレンドの強弱)";
  BeginLine(adx, LineKind::Dmi, title, "Clr_DmiADX", LINE_PANE, PEN_DOT, 1, 0);
  BeginLine(plus, LineKind::Dmi, title, "Clr_DmiPlus", LINE_PANE, PEN_SOLID, 1, 1);
  BeginLine(minus, LineKind::Dmi, title, "Clr_DmiMinus", LINE_PANE, PEN_SOLID, 1, 2);
  SetLineText(adx->label, "ADX %d%s", N, unit);
  SetLineText(plus->label, "+DI %d%s", N, unit);
  SetLineText(minus->label, "-DI %d%s", N, unit);
  SetLineText(adx->short_label, "DMI %.3s", adx->label);
  SetLineText(plus->short_label, "DMI %.3s", plus->label);
  SetLineText(minus->short_label, "DMI %.3s", minus->label);
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return DMI_LINES;
  // The first bar is independent of DispStart so that ADX has its history; its window's
  // first change compares FirstData + 1 with FirstData.
  const int f = sp.first + N;
  SetLineRange(plus, f, sp.end);
  SetLineRange(minus, f, sp.end);
  SetLineRange(adx, f + N, sp.end);
  if (f > sp.end) return DMI_LINES;

  const int32_t *h = ds.high, *l = ds.low, *c = ds.close;
  struct Move {
    int64_t up, dn, tr;
  };
  auto move = [&](int k) {
    int64_t up = std::max<int64_t>(static_cast<int64_t>(h[k]) - h[k - 1], 0);
    int64_t dn = std::max<int64_t>(static_cast<int64_t>(l[k - 1]) - l[k], 0);
    if (up > dn)
      dn = 0;
    else if (up < dn)
      up = 0;
    else
      up = dn = 0;
    const int64_t tr =
        std::max({static_cast<int64_t>(h[k]) - l[k], static_cast<int64_t>(h[k]) - c[k - 1],
                  static_cast<int64_t>(c[k - 1]) - l[k]});
    return Move{up, dn, tr};
  };
  int64_t P = 0, M = 0, T = 0;
  for (int k = f - N + 1; k <= f; ++k) {
    const Move m = move(k);
    P += m.up, M += m.dn, T += m.tr;
  }
  static double dx[MAX_DATE];
  for (int i = f; i <= sp.end; ++i) {
    if (i > f) {
      const Move a = move(i), b = move(i - N);
      P += a.up - b.up, M += a.dn - b.dn, T += a.tr - b.tr;
    }
    double pdi = 0, mdi = 0;
    if (T != 0) {
      pdi = (static_cast<double>(P) / N) / (static_cast<double>(T) / N) * 100;
      mdi = (static_cast<double>(M) / N) / (static_cast<double>(T) / N) * 100;
    }
    plus->value[i] = pdi;
    minus->value[i] = mdi;
    dx[i] = pdi + mdi != 0 ? std::fabs(pdi - mdi) / (pdi + mdi) * 100 : 0;
  }
  for (int i = f + N; i <= sp.end; ++i) {
    double s = 0;
    for (int k = i - N + 1; k <= i; ++k) s += dx[k];
    adx->value[i] = s / N;
  }
  return DMI_LINES;
}
