#include "lists/similar_stocks.h"

#include <algorithm>
#include <cstdio>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"

namespace {

// The first non-zero value among the first 50, when it lies before position 41 (the
// series must hold ten values at least); 0 otherwise.
double FirstValue(const uint16_t* series) {
  for (int i = 0; i < 41; ++i)
    if (const int32_t v = Packed_to_Value(series[i])) return v;
  return 0.0;
}

// A ratio of 0 (a position without a close) counts as 1.
double Ratio(uint16_t packed, double first) {
  const int32_t v = Packed_to_Value(packed);
  return v == 0 ? 1.0 : v / first;
}

bool FlatLastFive(const Pht& r) {
  for (int i = PHT_LAST - 4; i < PHT_LAST; ++i)
    if (r.close[i] != r.close[PHT_LAST]) return false;
  return true;
}

}  // namespace

int SimilarSeries(const Pht& r, int p, uint16_t* out) {
  int n = 0;
  switch (p) {
    case 0:
      for (int i = 0; i < PHT_DAYS; ++i) out[n++] = r.close[i];
      return n;
    case 1:
      for (int i = 0; i < PHT_DAYS; ++i) out[n++] = r.close5[i];
      for (int i = 4; i < PHT_DAYS; i += 5) out[n++] = r.close[i];
      return n;
    case 2:
      for (int i = 0; i < PHT_DAYS; ++i) out[n++] = r.close25[i];
      for (int i = 4; i < PHT_DAYS; i += 5) out[n++] = r.close5[i];
      out[n++] = r.close[24];
      out[n++] = r.close[49];
      return n;
    default:
      return 0;
  }
}

std::vector<int> SimilarStocks(int a, int p, int n) {
  std::vector<int> held;
  std::vector<double> scores;
  const int count = LastKabu < 0 ? 0 : std::min(LastKabu, MAX_KABU);
  if (a < 0 || a >= count || n <= 0) return held;
  uint16_t target[SIMILAR_SERIES_MAX];
  const int len = SimilarSeries(pht[a], p, target);
  if (len == 0) return held;
  const double a0 = FirstValue(target);
  if (a0 == 0.0) return held;
  double ta[SIMILAR_SERIES_MAX];
  for (int i = 0; i < len; ++i) ta[i] = Ratio(target[i], a0);

  uint16_t series[SIMILAR_SERIES_MAX];
  for (int k = 0; k < count; ++k) {
    if (k == a) continue;
    const Pht& r = pht[k];
    SimilarSeries(r, p, series);
    const double k0 = FirstValue(series);
    if (k0 == 0.0) continue;
    const double threshold = static_cast<int>(held.size()) < n ? 999999999.0 : scores.back();
    double sum = 0.0;
    int i = 0;
    for (; i < len; ++i) {
      const double d = ta[i] - Ratio(series[i], k0);
      sum += d * d;
      if (sum >= threshold) break;
    }
    if (i < len) continue;
    if (FlatLastFive(r)) continue;
    // Before the first held result that does not score better.
    const size_t at = static_cast<size_t>(std::lower_bound(scores.begin(), scores.end(), sum) - scores.begin());
    scores.insert(scores.begin() + static_cast<std::ptrdiff_t>(at), sum);
    held.insert(held.begin() + static_cast<std::ptrdiff_t>(at), k);
    if (static_cast<int>(held.size()) > n) {
      held.pop_back();
      scores.pop_back();
    }
  }
  return held;
}

std::string SimilarItemText(int stock_num, int place) {
  char buf[96];
  const Fundamental& f = fundamental[stock_num];
  std::snprintf(buf, sizeof buf, "%-12s %s %2d", f.name, Code_to_String(f.code).c_str(), place);
  return buf;
}
