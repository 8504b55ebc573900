// Fuzz target for the back-fill's history pages: the input's first byte chooses what the
// pages are read as (the portal's price rows, the daily-bar page's rows, the margin rows, or
// the Nikkei pages that give the calendar) and for which stock; the rest are the pages as
// the fetch receives them (see page_seam.h). Rows land only on the calendar's days and a
// price page leaves the margin balances alone; every date read is a real date; the calendar
// planned from the Nikkei pages stays ascending within its limit.
#include <cstring>
#include <memory>

#include "db/calendar_insert.h"
#include "db/day_file.h"
#include "db/price_model.h"
#include "fuzz_main.h"
#include "net/backfill.h"
#include "net/chart_json.h"
#include "net/history_pages.h"
#include "net/token_list.h"
#include "page_seam.h"

namespace {

// The calendar: the weekdays of 2026-11-12 to 2026-12-09.
constexpr int32_t DAYS[] = {20261112, 20261113, 20261116, 20261117, 20261118, 20261119, 20261120,
                            20261124, 20261125, 20261126, 20261127, 20261130, 20261201, 20261202,
                            20261203, 20261204, 20261207, 20261208, 20261209};
constexpr int DAY_COUNT = sizeof DAYS / sizeof DAYS[0];
constexpr int32_t CODES[] = {1001, 1003, 7203};  // an index, a series in hundredths, a stock

bool RealDate(int32_t date) {
  int64_t number = 0;
  int weekday = 0;
  return CivilDay(date, &number, &weekday);
}

bool ZeroFrom(const uint16_t* a, int from) {
  for (int d = from; d < MAX_DATE; ++d)
    if (a[d] != 0) return false;
  return true;
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  if (size < 1) return;
  const int kind = data[0] & 3, stock = (data[0] >> 2) % 3;
  std::memset(nikkei_date, 0, sizeof nikkei_date);
  std::memcpy(nikkei_date, DAYS, sizeof DAYS);
  LastDate = DAY_COUNT;
  LastKabu = 3;
  for (int s = 0; s < 3; ++s) {
    fundamental[s] = Fundamental{};
    fundamental[s].code = CODES[s];
    fundamental[s].tani = 100;
  }
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  ServePages(data + 1, size - 1);

  if (kind == 3) {
    GetYahooDate(static_cast<int>(g_pages.size()));
    Require(MillerCount >= 0 && MillerCount <= MAX_DATE, "fetched dates within the table");
    for (int i = 0; i < MillerCount; ++i) Require(RealDate(MillerDates[i]), "a fetched date is a real date");
    auto plan = std::make_unique<CalendarPlan>();
    PlanCalendarInsert(MillerDates, MillerCount, plan.get());
    Require(plan->new_days >= 0 && plan->new_days <= MAX_DATE, "calendar within its limit");
    for (int d = 1; d < plan->new_days; ++d) Require(plan->new_dates[d - 1] < plan->new_dates[d], "ascending calendar");
    for (int d = 0; d < plan->old_days; ++d)
      Require(plan->new_pos[d] >= -1 && plan->new_pos[d] < plan->new_days, "old days placed inside the calendar");
    return;
  }
  // Every page in turn, as the back-fill pages through a history.
  while (g_next_page < g_pages.size()) {
    if (!DBmakeOpenURL("https://history.example/page")) continue;
    for (int k = 0; !IsTokenEnd(PlaneToken(k)); ++k) {
      const int32_t date = ParseWebDate(PlaneToken(k), kind == 1 ? WEB_DATE_DAILY_BAR : WEB_DATE_PORTAL);
      Require(date == -1 || RealDate(date), "a date read is a real date");
    }
    const int more = kind == 2 ? MarginConvert(stock) : DBmakeConvert(stock, kind == 1 ? WEB_DATE_DAILY_BAR : WEB_DATE_PORTAL);
    Require(more == 0 || more == 1, "paging goes on or stops");
  }
  const uint16_t* const prices[] = {WebHiashi.open, WebHiashi.high, WebHiashi.low, WebHiashi.close, WebHiashi.deki};
  for (const uint16_t* a : prices) Require(ZeroFrom(a, kind == 2 ? 0 : LastDate), "prices only on the calendar's days");
  Require(ZeroFrom(WebHiashi.margin_sell, kind == 2 ? LastDate : 0) &&
              ZeroFrom(WebHiashi.margin_buy, kind == 2 ? LastDate : 0),
          "margin balances only from margin pages, on the calendar's days");
}
