#include "db/week_month_bars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "platform/diagnostics.h"

namespace {

using namespace std::chrono;

int32_t ToInt(sys_days d) {
  year_month_day ymd{d};
  return static_cast<int>(ymd.year()) * 10000 + static_cast<int>(static_cast<unsigned>(ymd.month())) * 100 +
         static_cast<int>(static_cast<unsigned>(ymd.day()));
}

sys_days FromInt(int32_t d) {
  return sys_days{year{d / 10000} / month{static_cast<unsigned>(d / 100 % 100)} / day{static_cast<unsigned>(d % 100)}};
}

// Monday to Friday from `from`, skipping the given holidays, `count` days.
std::vector<int32_t> Weekdays(int32_t from, int count, const std::set<int32_t>& holidays = {}) {
  std::vector<int32_t> out;
  for (sys_days d = FromInt(from); static_cast<int>(out.size()) < count; d += days{1}) {
    unsigned wd = weekday{d}.c_encoding();
    if (wd == 0 || wd == 6 || holidays.count(ToInt(d))) continue;
    out.push_back(ToInt(d));
  }
  return out;
}

void SetCalendar(const std::vector<int32_t>& dates) {
  ASSERT_LE(dates.size(), static_cast<size_t>(MAX_DATE));
  std::memset(nikkei_date, 0, sizeof nikkei_date);
  std::copy(dates.begin(), dates.end(), nikkei_date);
  LastDate = static_cast<int>(dates.size());
  ResetAshiCache();
}

// Fills the work record as stock 0 with prices on days start .. end.
Hiashi& Stock(int start, int end, unsigned seed = 1) {
  Hiashi& h = *WorkHiashi();
  std::memset(&h, 0, sizeof h);
  std::mt19937 rng(seed);
  for (int d = start; d <= end; ++d) {
    // Mostly ordinary prices; now and then a large exponent, up to saturation.
    auto packed = [&] {
      unsigned mant = 1 + rng() % 8190, exp = rng() % 16 == 0 ? rng() % 8 : rng() % 3;
      return static_cast<uint16_t>(mant << 3 | exp);
    };
    h.open[d] = packed(), h.high[d] = packed(), h.low[d] = packed(), h.close[d] = packed();
    h.deki[d] = packed(), h.margin_sell[d] = packed(), h.margin_buy[d] = packed();
  }
  std::strcpy(h.name, "テスト銘柄");
  h.code = 1301;
  h.start = start;
  h.end = end;
  fundamental[0].code = h.code;
  return h;
}

// Weeks as the C library's local calendar gives them (the designed method): day of year
// minus weekday, taken at noon. Returns the week number of each day of the calendar.
std::vector<int> ReferenceWeeks() {
  std::vector<int> week(LastDate);
  int w = -1;
  long long prev = 0;
  for (int i = 0; i < LastDate; ++i) {
    std::tm tm{};
    tm.tm_year = nikkei_date[i] / 10000 - 1900;
    tm.tm_mon = nikkei_date[i] / 100 % 100 - 1;
    tm.tm_mday = nikkei_date[i] % 100;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    EXPECT_NE(std::mktime(&tm), -1);
    long long key = tm.tm_year * 1000LL + tm.tm_yday - tm.tm_wday;
    if (i == 0 || key != prev) ++w;
    prev = key;
    week[i] = w;
  }
  return week;
}

struct RefBar {
  int32_t date = 0, open = 0, high = INT_MIN, low = INT_MAX, close = 0;
  long long deki = 0, sell = 0, buy = 0;
  int32_t last_sell = 0, last_buy = 0;
  int days = 0;
};

// Groups the days start .. end of h by group[d] and totals them.
std::map<int, RefBar> Reference(const Hiashi& h, const std::vector<int>& group) {
  std::map<int, RefBar> out;
  for (int d = h.start; d <= h.end; ++d) {
    RefBar& b = out[group[d]];
    if (b.days++ == 0) {
      b.date = nikkei_date[d];
      b.open = Packed_to_Value(h.open[d]);
    }
    b.high = std::max(b.high, Packed_to_Value(h.high[d]));
    b.low = std::min(b.low, Packed_to_Value(h.low[d]));
    b.close = Packed_to_Value(h.close[d]);
    b.deki += Packed_to_Value(h.deki[d]);
    b.sell += Packed_to_Value(h.margin_sell[d]);
    b.buy += Packed_to_Value(h.margin_buy[d]);
    b.last_sell = Packed_to_Value(h.margin_sell[d]);
    b.last_buy = Packed_to_Value(h.margin_buy[d]);
  }
  return out;
}

int32_t Capped(long long v) { return v > INT_MAX ? INT_MAX : static_cast<int32_t>(v); }

void ExpectWeeksMatch(const Hiashi& h) {
  const std::vector<int> week = ReferenceWeeks();
  ASSERT_EQ(LastWeek, week.back());
  for (int i = 0; i < LastDate; ++i) ASSERT_EQ(DayWeek[i], week[i]) << "day " << i;
  const std::map<int, RefBar> ref = Reference(h, week);
  EXPECT_EQ(shuashi.start, ref.begin()->first);
  EXPECT_EQ(shuashi.end, ref.rbegin()->first);
  EXPECT_EQ(shuashi.code, h.code);
  EXPECT_STREQ(shuashi.name, h.name);
  for (int w = 0; w < WEEK_MAX; ++w) {
    const ShuashiBar& b = shuashi.bar[w];
    auto it = ref.find(w);
    if (it == ref.end()) {
      ASSERT_EQ(b.date | b.open | b.high | b.low | b.close | b.deki | b.margin_sell | b.margin_buy | b.days, 0)
          << "week " << w;
      continue;
    }
    const RefBar& r = it->second;
    ASSERT_EQ(b.date, r.date) << w;
    ASSERT_EQ(b.open, r.open) << w;
    ASSERT_EQ(b.high, r.high) << w;
    ASSERT_EQ(b.low, r.low) << w;
    ASSERT_EQ(b.close, r.close) << w;
    ASSERT_EQ(b.deki, Capped(r.deki)) << w;
    ASSERT_EQ(b.margin_sell, r.last_sell) << w;  // weekly balances: the last day's
    ASSERT_EQ(b.margin_buy, r.last_buy) << w;
    ASSERT_EQ(b.days, r.days) << w;
  }
}

void ExpectMonthsMatch(const Hiashi& h) {
  std::vector<int> month(LastDate);
  for (int i = 0, m = -1; i < LastDate; ++i) {
    if (i == 0 || nikkei_date[i] / 100 != nikkei_date[i - 1] / 100) ++m;
    month[i] = m;
    if (i == 0 || month[i] != month[i - 1]) {
      ASSERT_EQ(MonthFirst[m], nikkei_date[i]);
    }
  }
  ASSERT_EQ(MonthNum, month.back() + 1);
  const std::map<int, RefBar> ref = Reference(h, month);
  EXPECT_EQ(tsukiashi.first_month, ref.begin()->first);
  EXPECT_EQ(tsukiashi.last_month, ref.rbegin()->first);
  for (int m = 0; m < MONTH_MAX; ++m) {
    auto it = ref.find(m);
    if (it == ref.end()) {
      ASSERT_EQ(tsukiashi.open[m] | tsukiashi.high[m] | tsukiashi.low[m] | tsukiashi.close[m] | tsukiashi.deki[m] |
                    tsukiashi.margin_sell[m] | tsukiashi.margin_buy[m],
                0)
          << "month " << m;
      ASSERT_EQ(tsukiashi.deki_sum[m], 0.0);
      continue;
    }
    const RefBar& r = it->second;
    ASSERT_EQ(tsukiashi.open[m], r.open) << m;
    ASSERT_EQ(tsukiashi.high[m], r.high) << m;
    ASSERT_EQ(tsukiashi.low[m], r.low) << m;
    ASSERT_EQ(tsukiashi.close[m], r.close) << m;
    ASSERT_EQ(tsukiashi.deki[m], Capped(r.deki)) << m;
    ASSERT_EQ(tsukiashi.deki_sum[m], static_cast<double>(r.deki)) << m;
    ASSERT_EQ(tsukiashi.margin_sell[m], r.sell / r.days) << m;  // monthly balances: averages
    ASSERT_EQ(tsukiashi.margin_buy[m], r.buy / r.days) << m;
  }
}

void SetTz(const char* tz) {
  setenv("TZ", tz, 1);
  tzset();
}

class Bars : public ::testing::Test {
 protected:
  void TearDown() override {
    SetTz("Asia/Tokyo");
    std::memset(WorkHiashi(), 0, sizeof(Hiashi));
    fundamental[0].code = 0;
    SetCalendar({});
  }
};

// Bars built for stocks of every shape agree with bars computed independently from the
// daily records, whatever the time zone (the calendar spans daylight-saving changes).
TEST_F(Bars, AgreeWithBarsComputedFromDailyRecords) {
  const std::set<int32_t> holidays = {20240101, 20240102, 20240103, 20240212, 20240429, 20241231,
                                      20250101, 20250102, 20250103, 20251231, 20260101, 20260102};
  SetCalendar(Weekdays(20231002, 700, holidays));
  struct Shape {
    int start, end;
  } const shapes[] = {{0, 699}, {0, 0}, {3, 250}, {137, 699}, {698, 699}, {400, 400}};
  for (const char* tz : {"Asia/Tokyo", "UTC", "Europe/Berlin", "America/New_York"}) {
    SetTz(tz);
    unsigned seed = 1;
    for (const Shape& s : shapes) {
      SCOPED_TRACE(testing::Message() << tz << " days " << s.start << ".." << s.end);
      const Hiashi& h = Stock(s.start, s.end, seed++);
      ResetAshiCache();
      const int end = BuildShuashi(0);
      BuildTsukiashi(0);
      EXPECT_EQ(end, shuashi.end);
      ExpectWeeksMatch(h);
      ExpectMonthsMatch(h);
    }
  }
}

TEST_F(Bars, WeekAcrossNewYearFormsTwoWeeks) {
  // Monday 29 to Wednesday 31 December, then Friday 2 January.
  SetCalendar({20251229, 20251230, 20251231, 20260102});
  Stock(0, 3);
  EXPECT_EQ(BuildShuashi(0), 1);
  EXPECT_EQ(LastWeek, 1);
  EXPECT_EQ(WeekTable[1].first_day, 3);
  EXPECT_EQ(WeekTable[1].date, 20260102);
  EXPECT_EQ(shuashi.bar[0].days, 3);
  EXPECT_EQ(shuashi.bar[1].days, 1);
  EXPECT_EQ(DayFacts[3].yday, 1);
  EXPECT_EQ(DayFacts[3].wday, 5);
  EXPECT_EQ(RealDate_to_WeekNum(20251231), 0);
  EXPECT_EQ(RealDate_to_WeekNum(20260101), 0);  // the greatest first date not above it
  EXPECT_EQ(RealDate_to_WeekNum(20260102), 1);
  EXPECT_EQ(RealDate_to_WeekNum(20260301), 1);  // on or after the last week's first date
  EXPECT_EQ(WeekNum_to_RealDate(0), 20251229);
}

TEST_F(Bars, LastWeekGivesTheLastCalendarDate) {
  SetCalendar(Weekdays(20260105, 8));  // two weeks, the second ending on Wednesday
  BuildWeekTable();
  EXPECT_EQ(LastWeek, 1);
  EXPECT_EQ(WeekNum_to_RealDate(1), 20260114);  // not the week's first date 20260112
  EXPECT_EQ(WeekNum_to_RealDate(0), 20260105);
  EXPECT_EQ(RealDate_to_WeekNum(20260113), 1);
  EXPECT_EQ(RealDate_to_WeekNum(20260109), 0);
}

TEST_F(Bars, StockListedOnWednesdayStartsItsWeekThere) {
  SetCalendar(Weekdays(20260105, 15));  // Monday 5 January, three full weeks
  Hiashi& h = Stock(2, 14);            // Wednesday 7 January
  BuildShuashi(0);
  EXPECT_EQ(shuashi.start, 0);
  EXPECT_EQ(shuashi.bar[0].date, 20260107);
  EXPECT_EQ(shuashi.bar[0].days, 3);
  EXPECT_EQ(shuashi.bar[0].open, Packed_to_Value(h.open[2]));
  EXPECT_EQ(shuashi.bar[0].close, Packed_to_Value(h.close[4]));
}

// A stock listed on a Wednesday of the last, still open week gets that week's bar.
TEST_F(Bars, MidWeekListingInTheLastWeek) {
  SetCalendar(Weekdays(20260105, 9));  // the last week is Monday 12 to Thursday 15 January
  Hiashi& h = Stock(7, 8);             // Wednesday 14 and Thursday 15
  EXPECT_EQ(BuildShuashi(0), 1);
  EXPECT_EQ(shuashi.start, 1);
  EXPECT_EQ(shuashi.bar[1].date, 20260114);
  EXPECT_EQ(shuashi.bar[1].days, 2);
  EXPECT_EQ(shuashi.bar[1].close, Packed_to_Value(h.close[8]));
  EXPECT_EQ(shuashi.bar[0].days, 0);
}

TEST_F(Bars, MonthOfEighteenDaysTotalsVolumeAndAveragesBalances) {
  // February 2026 has 20 weekdays; with holidays on the 11th and the 23rd 18 remain (with
  // the last days of January and the first of March around them).
  SetCalendar(Weekdays(20260128, 24, {20260211, 20260223}));
  Hiashi& h = Stock(0, 23);
  long long vol = 0, sell = 0, buy = 0;
  int n = 0;
  for (int d = 0; d < LastDate; ++d) {
    if (nikkei_date[d] / 100 != 202602) continue;
    h.deki[d] = Value_to_Packed(1000 + d);
    h.margin_sell[d] = Value_to_Packed(d * 7 + 1);
    h.margin_buy[d] = Value_to_Packed(d * 13 + 2);
    vol += 1000 + d, sell += d * 7 + 1, buy += d * 13 + 2, ++n;
  }
  ASSERT_EQ(n, 18);
  BuildTsukiashi(0);
  ASSERT_EQ(MonthNum, 3);
  EXPECT_EQ(MonthFirst[1], 20260202);
  EXPECT_EQ(tsukiashi.deki[1], vol);
  EXPECT_EQ(tsukiashi.margin_sell[1], sell / 18);  // rounded towards zero
  EXPECT_EQ(tsukiashi.margin_buy[1], buy / 18);
  EXPECT_NE(sell % 18, 0);
}

TEST_F(Bars, CachedUntilResetAshiCache) {
  SetCalendar(Weekdays(20260105, 20));
  Hiashi& h = Stock(0, 19);
  BuildShuashi(0);
  BuildTsukiashi(0);
  const int32_t week_close = shuashi.bar[0].close, month_close = tsukiashi.close[0];
  h.close[4] = Value_to_Packed(7777);
  h.close[19] = Value_to_Packed(7777);  // the last day of January 2026
  BuildShuashi(0);
  BuildTsukiashi(0);
  EXPECT_EQ(shuashi.bar[0].close, week_close);
  EXPECT_EQ(tsukiashi.close[0], month_close);
  ResetAshiCache();
  BuildShuashi(0);
  BuildTsukiashi(0);
  EXPECT_EQ(shuashi.bar[0].close, 7777);
  EXPECT_EQ(tsukiashi.close[0], 7777);
  // A new trading day is a new calendar: the series follow it without a reset, even when
  // something else rebuilt the tables first.
  nikkei_date[LastDate++] = 20260202;
  h.end = LastDate - 1;
  h.close[h.end] = Value_to_Packed(1234);
  EXPECT_EQ(RealDate_to_WeekNum(20260202), 4);  // rebuilds the week table first
  BuildShuashi(0);
  BuildTsukiashi(0);
  EXPECT_EQ(LastWeek, 4);
  EXPECT_EQ(shuashi.bar[4].close, 1234);
  EXPECT_EQ(MonthNum, 2);
  EXPECT_EQ(tsukiashi.close[1], 1234);
}

// A record without prices gives empty series, after a full stock was built, and reads
// nothing beyond the calendar.
TEST_F(Bars, RecordWithoutPricesGivesEmptySeries) {
  SetCalendar(Weekdays(20260105, 30));
  Stock(0, 29);
  BuildShuashi(0);
  BuildTsukiashi(0);
  struct Case {
    int start, end;
    bool zero_prices;
  } const cases[] = {
      {30, 29, false},          // a new stock: start at LastDate, end before it
      {0, 0, true},             // a zeroed slot
      {0, 29, true},            // a range without a single close
      {MAX_DATE, MAX_DATE + 5, false},
  };
  for (const Case& c : cases) {
    Hiashi& h = *WorkHiashi();
    if (c.zero_prices) std::memset(&h, 0, offsetof(Hiashi, name));
    h.start = c.start;
    h.end = c.end;
    ResetAshiCache();
    EXPECT_EQ(BuildShuashi(0), LastWeek);
    BuildTsukiashi(0);
    EXPECT_GT(shuashi.start, shuashi.end);
    EXPECT_GT(tsukiashi.first_month, tsukiashi.last_month);
    for (int w = 0; w < WEEK_MAX; ++w) ASSERT_EQ(shuashi.bar[w].days, 0) << w;
    for (int m = 0; m < MONTH_MAX; ++m) ASSERT_EQ(tsukiashi.close[m], 0) << m;
    // Fill it again for the next case.
    Stock(0, 29);
    ResetAshiCache();
    BuildShuashi(0);
    BuildTsukiashi(0);
  }
}

// A user who updates once a week (or once a month) has as many weeks (or months) as days:
// the tables hold them all.
TEST_F(Bars, SparseCalendarsFitTheTables) {
  std::vector<int32_t> weekly, monthly;
  for (sys_days d = FromInt(19700105); weekly.size() < static_cast<size_t>(MAX_DATE); d += days{7})
    weekly.push_back(ToInt(d));
  SetCalendar(weekly);
  const Hiashi& hw = Stock(0, MAX_DATE - 1);
  EXPECT_EQ(BuildShuashi(0), MAX_DATE - 1);
  ExpectWeeksMatch(hw);

  for (year_month ym = year{1800} / January; monthly.size() < static_cast<size_t>(MAX_DATE); ym += months{1})
    monthly.push_back(ToInt(sys_days{ym / 15}));
  SetCalendar(monthly);
  const Hiashi& hm = Stock(0, MAX_DATE - 1);
  BuildTsukiashi(0);
  EXPECT_EQ(MonthNum, MAX_DATE);
  EXPECT_EQ(tsukiashi.last_month, MAX_DATE - 1);
  ExpectMonthsMatch(hm);
}

TEST_F(Bars, DayFactsFromCalendarArithmetic) {
  struct Case {
    int32_t date;
    int yday, wday;
    bool ok;
  } const cases[] = {
      {20260101, 0, 4, true},  {20241231, 365, 2, true}, {20240229, 59, 4, true},
      {20260329, 87, 0, true},  // daylight saving starts in Europe
      {20230230, 60, 4, false},  // normalised to 2 March, reported as not a date
      {0, 0, 0, false},
  };
  for (const Case& c : cases) {
    int yday, wday, y;
    EXPECT_EQ(CalendarDayFacts(c.date, &yday, &wday, &y), c.ok) << c.date;
    EXPECT_EQ(yday, c.yday) << c.date;
    EXPECT_EQ(wday, c.wday) << c.date;
  }
}

}  // namespace

namespace {

// "The last trading day, if any": none for an empty calendar, the calendar's end otherwise,
// never beyond the table.
TEST_F(Bars, LastTradingDayOfEmptyAndFullCalendars) {
  int32_t date = 123;
  SetCalendar({});
  EXPECT_EQ(LastTradingDay(&date), -1);
  EXPECT_EQ(date, 0);
  SetCalendar({20261207, 20261208, 20261209});
  EXPECT_EQ(LastTradingDay(&date), 2);
  EXPECT_EQ(date, 20261209);
  EXPECT_EQ(LastTradingDay(), 2);
  LastDate = MAX_DATE + 5;
  EXPECT_EQ(LastTradingDay(&date), MAX_DATE - 1);
  LastDate = -3;
  EXPECT_EQ(LastTradingDay(&date), -1);
}

// An empty calendar is a state like any other: no weeks, no months, no bars, no stop.
TEST_F(Bars, EmptyCalendarBuildsEmptySeries) {
  SetCalendar({});
  Hiashi& h = *WorkHiashi();
  std::memset(&h, 0, sizeof h);
  h.code = fundamental[0].code = 7000;
  h.start = 0;
  h.end = -1;
  BuildShuashi(0);
  BuildTsukiashi(0);
  EXPECT_EQ(LastWeek, -1);
  EXPECT_EQ(MonthNum, 0);
  EXPECT_GT(shuashi.start, shuashi.end);
  EXPECT_GT(tsukiashi.first_month, tsukiashi.last_month);
}

// A calendar of dates that are no dates is reported in one line, not one per day, so the
// history keeps what came before it.
TEST_F(Bars, UndatedCalendarIsReportedOnce) {
  SetCalendar(std::vector<int32_t>(MAX_DATE, 0));
  ClearPrtHistory();
  PRT("before\n");
  BuildWeekTable();
  std::string history;
  for (const auto& line : PrtLines) history += std::string(line) + "\n";
  EXPECT_NE(history.find("before\n"), std::string::npos);
  size_t lines = 0;
  for (size_t at = 0; (at = history.find("暦にない日付です", at)) != std::string::npos; ++at) ++lines;
  EXPECT_EQ(lines, 1u);
  EXPECT_NE(history.find("全部で 2816 日"), std::string::npos);
}

}  // namespace
