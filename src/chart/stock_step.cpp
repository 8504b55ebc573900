#include "chart/stock_step.h"

#include "chart/chart_settings.h"
#include "db/price_model.h"
#include "chart/shown_stock.h"

namespace {
int StockCount() { return LastKabu < 0 ? 0 : (LastKabu > MAX_KABU ? MAX_KABU : LastKabu); }
}  // namespace

bool PassesMarketFilter(int stock_num) {
  const int m = fundamental[stock_num].market;
  if (m == 0) return true;
  switch (ZengoShijou) {
    case 1:
      return m == 1;
    case 2:
      return m >= 1 && m <= 3;
    case 3:
      return m >= 1 && m <= 4;
    case 4:
      return m == 4;
    default:
      return true;
  }
}

bool PassesVolumeFilter(int stock_num) {
  // Needs the screening engine's volume test; until it exists no stock is left out.
  (void)stock_num;
  return true;
}

bool PassesMovementFilter(int stock_num) {
  // Needs the screening engine's no-price-movement test; until it exists no stock is left
  // out.
  (void)stock_num;
  return true;
}

bool PassesNavigationFilter(int stock_num) {
  return PassesMarketFilter(stock_num) && (ZengoDekidaka == 0 || PassesVolumeFilter(stock_num)) &&
         (!ZengoTousan || PassesMovementFilter(stock_num));
}

void StepStock(int d) {
  const int n = StockCount();
  if (n == 0 || d == 0) return;
  int p = (DispNum >= 0 && DispNum < n) ? CodeOrder[DispNum][0] : 0;
  if (p < 0 || p >= n) p = 0;
  long long q = static_cast<long long>(p) + d;
  if (q < 0) q = 0;
  if (q > n - 1) q = n - 1;
  int s = CodeOrder[q][1];
  // Compared with the stock shown (not the last one stepped to), so that stepping still
  // works after the chart was switched to another stock by code, list or favourite.
  if (s == DispNum) return;
  const int dir = d > 0 ? 1 : -1;
  while (s < 0 || s >= n || !PassesNavigationFilter(s)) {
    q += dir;
    if (q < 0 || q >= n) return;
    s = CodeOrder[q][1];
  }
  if (s == DispNum) return;
  ShowStock(s);
}
