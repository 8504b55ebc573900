#include "chart/shown_stock.h"

#include "chart/chart_repaint.h"
#include "db/price_model.h"
#include "platform/diagnostics.h"

int DispNum = 0;
NoticeList<int> ShownStockChanged;

namespace {
int g_told = -1;  // the stock last told; -1 before the first paint
}  // namespace

bool ShowStock(int n) {
  const int count = LastKabu < 0 ? 0 : (LastKabu > MAX_KABU ? MAX_KABU : LastKabu);
  // Slot 0 is shown at start, before the stock table is read or when it is empty.
  if (n < 0 || (n >= count && n != 0)) {
    PRT("銘柄番号が範囲外です: %d\n", n);
    return false;
  }
  DispNum = n;
  RequestChartRepaint();
  return true;
}

bool TellShownStockChange() {
  if (DispNum == g_told) return false;
  g_told = DispNum;
  ShownStockChanged.Tell(DispNum);
  return true;
}

void ResetShownStock() {
  DispNum = 0;
  g_told = -1;
  ShownStockChanged.Clear();
}
