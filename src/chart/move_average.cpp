#include "chart/move_average.h"

#include <cmath>
#include <cstdint>

#include "chart/indicator_common.h"

namespace {

bool MoveAve(const DispSeries& ds, const int32_t* x, int period, double* buf) {
  for (int i = 0; i < MAX_DATE; ++i) buf[i] = NO_VALUE;
  if (period < 1) return false;
  const SeriesSpan sp = SpanOf(ds);
  if (sp.empty) return true;
  const int p = ClampWindow(period, 1);
  const int f = sp.first, e = sp.end;
  int64_t s = 0;
  for (int i = f; i < f + p && i <= e; ++i) {
    s += x[i];
    buf[i] = static_cast<double>(s) / (i - f + 1);
  }
  if (e - f + 1 < p) return true;
  buf[f + p - 1] = std::trunc(static_cast<double>(s) / p);
  for (int i = f + p; i <= e; ++i) {
    s += static_cast<int64_t>(x[i]) - x[i - p];
    buf[i] = static_cast<double>(s) / p;
  }
  return true;
}

}  // namespace

bool CalcMoveAve(const DispSeries& ds, int period, double* buf) {
  return MoveAve(ds, ds.close, period, buf);
}

bool CalcDekiMoveAve(const DispSeries& ds, int period, double* buf) {
  return MoveAve(ds, ds.deki, period, buf);
}
