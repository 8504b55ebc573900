#include "chart/overlays/bollinger.h"

#include <cmath>
#include <cstdint>

#include "chart/indicator_common.h"
#include "chart/move_average.h"

int CalcBollinger(const DispSeries& ds, int period, int levels, IndicatorLine* out) {
  if (period < 1) return 0;
  const int a = ClampWindow(period, 1);
  const SeriesSpan sp = SpanOf(ds);
  const int from = sp.first + a;  // the centre line's range
  const int to = sp.empty ? -1 : sp.end;

  int count = 0;
  IndicatorLine* upper[3] = {};
  IndicatorLine* lower[3] = {};
  for (int j = 1; j <= 3; ++j) {
    if (!(levels & (1 << (j - 1)))) continue;
    upper[j - 1] = &out[count++];
    lower[j - 1] = &out[count++];
    BeginLine(upper[j - 1], LineKind::Bollinger, "", "Clr_AvgShort", 0, PEN_DOT, 1, 0);
    BeginLine(lower[j - 1], LineKind::Bollinger, "", "Clr_AvgShort", 0, PEN_DOT, 1, 0);
    SetLineText(upper[j - 1]->short_label, "BB+%dδ", j);
    SetLineText(lower[j - 1]->short_label, "BB-%dδ", j);
    SetLineRange(upper[j - 1], from, to);
    SetLineRange(lower[j - 1], from, to);
  }
  if (count == 0 || from > to) return count;

  static double centre[MAX_DATE];
  CalcMoveAve(ds, a, centre);
  const int32_t* c = ds.close;
  const double divisor = a == 1 ? 1 : a - 1;
  // S = sum of (close - m)^2 over the window, from running sums of the closes and their
  // squares; 128-bit integers keep it exact for any 32-bit prices.
  __int128 sum = 0, sum2 = 0;
  for (int n = from - a + 1; n < from; ++n) {
    sum += c[n];
    sum2 += static_cast<__int128>(c[n]) * c[n];
  }
  for (int k = from; k <= to; ++k) {
    sum += c[k];
    sum2 += static_cast<__int128>(c[k]) * c[k];
    if (k > from) {
      const int32_t gone = c[k - a];
      sum -= gone;
      sum2 -= static_cast<__int128>(gone) * gone;
    }
    const double ck = centre[k];
    const __int128 m = static_cast<int64_t>(std::trunc(ck));
    const __int128 S = sum2 - 2 * m * sum + a * m * m;
    const double sigma = std::sqrt(static_cast<double>(S) / divisor);
    for (int j = 1; j <= 3; ++j) {
      if (!upper[j - 1]) continue;
      upper[j - 1]->value[k] = ck + j * sigma;
      lower[j - 1]->value[k] = ck - j * sigma;
    }
  }
  return count;
}
