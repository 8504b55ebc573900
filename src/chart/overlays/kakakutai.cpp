#include "chart/overlays/kakakutai.h"

#include <algorithm>
#include <cmath>

#include "chart/indicator_common.h"

void CalcKakakutai(const DispSeries& ds, int min_low, int max_high, KakakutaiBands* out) {
  for (double& b : out->band) b = 0;
  out->height = (static_cast<double>(max_high) - min_low) / KAKAKUTAI_BANDS;
  out->largest = 1;
  const SeriesSpan sp = SpanOf(ds);
  if (!sp.empty) {
    const double f = out->height;
    for (int i = sp.start; i <= sp.end; ++i) {
      double lo = ds.low[i], hi = ds.high[i];
      if (hi < lo) std::swap(lo, hi);  // a damaged bar still spreads over its range
      const double v = ds.deki[i];
      for (int b = 0; b < KAKAKUTAI_BANDS; ++b) {
        const double bl = min_low + b * f, bh = min_low + (b + 1) * f;
        double t = bl <= lo && lo <= bh ? lo : 0;
        double u = bl <= hi && hi <= bh ? hi : 0;
        if (lo < bl && hi > bh) {
          u = bh;
          t = bl;
        }
        if (t + u != 0)
          out->band[b] += ((u != 0 ? u : bh) - (t != 0 ? t : bl) + 1) / (hi - lo + 1) * v;
      }
    }
  }
  for (double b : out->band) out->largest = std::max(out->largest, b);
}

int KakakutaiLineLength(const KakakutaiBands& k, int b, int chart_w) {
  if (b < 0 || b >= KAKAKUTAI_BANDS || chart_w <= 60) return 0;
  const double len = std::trunc((chart_w - 60) * k.band[b] / k.largest);
  if (!(len > 0)) return 0;
  return len > chart_w - 60 ? chart_w - 60 : static_cast<int>(len);
}

int KakakutaiLineY(const KakakutaiBands& k, int b, int price_bottom, double price_per_dot) {
  if (!(price_per_dot > 0) || !std::isfinite(price_per_dot)) price_per_dot = 1.0;
  const double dy = std::trunc((b * k.height + k.height * 0.5) / price_per_dot);
  if (!std::isfinite(dy)) return price_bottom;
  return price_bottom - static_cast<int>(std::clamp(dy, -1e6, 1e6));
}
