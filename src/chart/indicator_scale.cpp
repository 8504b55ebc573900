#include "chart/indicator_scale.h"

#include <algorithm>
#include <cmath>

namespace {

// v limited to lo ... hi; a value that is not finite becomes `other`.
double Clip(double v, double lo, double hi, double other) {
  if (!std::isfinite(v)) return other;
  return std::clamp(v, lo, hi);
}

}  // namespace

int IndicatorValueY(double v, int pane_bottom, int pane_h) {
  if (!std::isfinite(v)) return pane_bottom;
  const double per = pane_h == 0 ? 1.0 : 100.0 / pane_h;
  return pane_bottom - static_cast<int>(std::trunc(Clip(v, 0, 100, 0) / per));
}

double MacdScaleMax(const IndicatorLine& macd) {
  double m = 0;
  for (int i = std::max(macd.from, 0); i <= macd.to && i < LINE_VALUE_COUNT; ++i) {
    const double v = macd.value[i];
    if (std::isfinite(v)) m = std::max(m, std::fabs(v));
  }
  return m == 0 ? 1.0 : m;
}

double MacdPaneValue(double v, double m) {
  if (!(m > 0) || !std::isfinite(m)) m = 1.0;
  return Clip((v + m) / (2 * m) * 100, 0, 100, 50);
}

int MacdMiddleY(int pane_bottom, int pane_h) { return IndicatorValueY(50, pane_bottom, pane_h); }

int KairiBarTop(double v, int mid_y, int pane_h) {
  return mid_y - static_cast<int>(std::trunc((pane_h / 2) * Clip(v, -20, 20, 0) / 20));
}

int KairiScaleLabel(int u) { return (20 * u - 1000) / 50; }

long long MacdScaleLabel(int u, double m) {
  const double whole = std::trunc(Clip(m, -9.0e15, 9.0e15, 1));
  return (static_cast<long long>(u - 50) * static_cast<long long>(whole)) / 50;
}
