// Fuzz target for the back-fill's chart JSON path: the input stands for the chart
// interface's response (the page fetch is replaced, see page_seam.h) and GetChartHistory
// turns it into the staging record over a short calendar, for a stock, a series in
// hundredths or a world index as the first byte chooses. A day written is either all zero
// (a bad day) or a bar whose high and low enclose its open and close.
#include <cstring>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "fuzz_main.h"
#include "net/chart_json.h"
#include "net/web_symbol.h"
#include "page_seam.h"

namespace {

// The calendar: the trading days of two weeks of December 2026, which the seed's
// timestamps name.
constexpr int32_t DAYS[] = {20261130, 20261201, 20261202, 20261203, 20261204,
                            20261207, 20261208, 20261209, 20261210, 20261211};
constexpr int32_t CODES[] = {7203, 1003, 1001, 1020, 1035};

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  if (size < 1) return;
  const int choice = data[0] % (sizeof CODES / sizeof CODES[0]);
  LastDate = static_cast<int>(sizeof DAYS / sizeof DAYS[0]);
  std::memcpy(nikkei_date, DAYS, sizeof DAYS);
  LastKabu = 1;
  fundamental[0] = Fundamental{};
  fundamental[0].code = CODES[choice];
  fundamental[0].tani = 100;
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  ServePages(data + 1, size - 1);

  const int32_t code = CODES[choice];
  const char* world = WorldIndexName(code);
  const WebSymbolText symbol = WebSymbol(code, 0);
  GetChartHistory(world ? world : symbol.c_str(), 0, world != nullptr || code == 1001, LastDate);

  for (int d = 0; d < MAX_DATE; ++d) {
    const int32_t o = Packed_to_Value(WebHiashi.open[d]), h = Packed_to_Value(WebHiashi.high[d]);
    const int32_t l = Packed_to_Value(WebHiashi.low[d]), c = Packed_to_Value(WebHiashi.close[d]);
    if (d >= LastDate) {
      Require(o == 0 && h == 0 && l == 0 && c == 0 && WebHiashi.deki[d] == 0, "nothing past the calendar");
      continue;
    }
    Require(Packed_to_Value(WebHiashi.deki[d]) >= 0, "volume not negative");
    if (o == 0 && h == 0 && l == 0 && c == 0) continue;
    Require(l > 0 && l <= o && l <= c && h >= o && h >= c, "a bar that holds together");
  }
}
