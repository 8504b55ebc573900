#include "db/trading_calendar.h"

#include <chrono>
#include <cstring>

#include "platform/diagnostics.h"

DayFact DayFacts[MAX_DATE];
WeekEntry WeekTable[WEEK_MAX];
int LastWeek = -1;
int16_t DayWeek[MAX_DATE];
int32_t MonthFirst[MONTH_MAX];
int MonthNum = 0;
int16_t DayMonth[MAX_DATE];

namespace {

// What the tables were built from: enough to notice an added, dropped or replaced day at
// either end of the calendar without comparing all of it.
struct CalendarKey {
  bool valid = false;
  int last_date = 0;
  int32_t first = 0, last = 0;
};
CalendarKey g_week_key, g_month_key;
int g_week_builds = 0, g_month_builds = 0;

CalendarKey CurrentKey() {
  CalendarKey k;
  k.valid = true;
  k.last_date = LastDate;
  if (LastTradingDay(&k.last) >= 0) k.first = nikkei_date[0];
  return k;
}

bool SameKey(const CalendarKey& a, const CalendarKey& b) {
  return a.valid && b.valid && a.last_date == b.last_date && a.first == b.first && a.last == b.last;
}

// Days of the calendar in use; a LastDate outside 0 .. MAX_DATE is reported and cut.
int CalendarDays() {
  if (LastDate >= 0 && LastDate <= MAX_DATE) return LastDate;
  PRT("LastDate=%d が範囲外です(MAX_DATE=%d)\n", LastDate, MAX_DATE);
  return LastDate < 0 ? 0 : MAX_DATE;
}

// Quiet form of CalendarDays for LastTradingDay, which is called from everywhere.
int DaysHeld() { return LastDate < 0 ? 0 : LastDate > MAX_DATE ? MAX_DATE : LastDate; }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

int LastTradingDay(int32_t* date) {
  const int last = DaysHeld() - 1;
  if (date) *date = last >= 0 ? nikkei_date[last] : 0;
  return last;
}

bool CalendarDayFacts(int32_t date, int* yday, int* wday, int* year) {
  using namespace std::chrono;
  int y = date / 10000, m = date / 100 % 100, d = date % 100;
  if (date <= 0 || y < 1 || y > 9999) {
    *yday = *wday = 0;
    *year = y;
    return false;
  }
  bool ok = m >= 1 && m <= 12 && year_month_day{std::chrono::year{y} / month{static_cast<unsigned>(m)} /
                                                 day{static_cast<unsigned>(d)}}
                                      .ok();
  // Normalise as the C library's time conversion does: month 13 is January of the next
  // year, day 30 of February is in March.
  int months = y * 12 + (m - 1);
  int ny = FloorDiv(months, 12), nm = months - ny * 12 + 1;
  sys_days sd = sys_days{std::chrono::year{ny} / month{static_cast<unsigned>(nm)} / day{1}} + days{d - 1};
  year_month_day ymd{sd};
  *yday = static_cast<int>((sd - sys_days{ymd.year() / January / 1}).count());
  *wday = static_cast<int>(weekday{sd}.c_encoding());
  *year = static_cast<int>(ymd.year());
  return ok;
}

void BuildWeekTable() {
  const int n = CalendarDays();
  std::memset(WeekTable, 0, sizeof WeekTable);
  int w = -1;
  long long prev_key = 0;
  int undated = 0, first_undated = -1;
  for (int i = 0; i < n; ++i) {
    int yday, wday, year;
    if (!CalendarDayFacts(nikkei_date[i], &yday, &wday, &year) && undated++ == 0) first_undated = i;
    DayFacts[i] = {static_cast<int16_t>(yday), static_cast<int8_t>(wday)};
    // The Sunday that opens the week, counted within its year.
    long long key = static_cast<long long>(year) * 1000 + (yday - wday);
    if (w < 0 || key != prev_key) {
      ++w;
      WeekTable[w] = {w, i, nikkei_date[i]};
    }
    prev_key = key;
    DayWeek[i] = static_cast<int16_t>(w);
  }
  // One line however many days are wrong, so the history keeps what came before.
  if (undated)
    PRT("暦にない日付です nikkei_date[%d]=%d（暦にない日付は全部で %d 日）\n", first_undated, nikkei_date[first_undated],
        undated);
  LastWeek = w;
  g_week_key = CurrentKey();
  ++g_week_builds;
}

void BuildMonthTable() {
  const int n = CalendarDays();
  std::memset(MonthFirst, 0, sizeof MonthFirst);
  int k = -1;
  for (int i = 0; i < n; ++i) {
    if (k < 0 || nikkei_date[i] / 100 != nikkei_date[i - 1] / 100) MonthFirst[++k] = nikkei_date[i];
    DayMonth[i] = static_cast<int16_t>(k);
  }
  MonthNum = k + 1;
  g_month_key = CurrentKey();
  ++g_month_builds;
}

bool EnsureWeekTable() {
  if (SameKey(g_week_key, CurrentKey())) return false;
  BuildWeekTable();
  return true;
}

bool EnsureMonthTable() {
  if (SameKey(g_month_key, CurrentKey())) return false;
  BuildMonthTable();
  return true;
}

int WeekTableBuilds() { return g_week_builds; }
int MonthTableBuilds() { return g_month_builds; }

void InvalidateCalendarTables() {
  g_week_key.valid = false;
  g_month_key.valid = false;
}

int RealDate_to_WeekNum(int32_t date) {
  EnsureWeekTable();
  if (LastWeek < 0 || date < WeekTable[0].date) {
    FatalAt(__FILE__, __LINE__);
    Fatal("RealDate_to_WeekNum 　date %d 換算テーブルに合致しまへん。i->%d  LastWeek->%d \n", date, 0, LastWeek);
  }
  if (date >= WeekTable[LastWeek].date) return LastWeek;
  // The greatest first date not above date.
  int lo = 0, hi = LastWeek;  // WeekTable[lo].date <= date < WeekTable[hi].date
  while (hi - lo > 1) {
    int mid = (lo + hi) / 2;
    if (WeekTable[mid].date <= date) lo = mid;
    else hi = mid;
  }
  return lo;
}

int32_t WeekNum_to_RealDate(int week_num) {
  EnsureWeekTable();
  if (week_num < 0 || week_num > LastWeek) {
    FatalAt(__FILE__, __LINE__);
    Fatal("WeekNum_to_RealDate 　week_num %d 換算テーブルに合致しまへん。\n", week_num);
  }
  if (week_num == LastWeek) {
    int32_t last = 0;
    LastTradingDay(&last);
    return last;
  }
  return WeekTable[week_num].date;
}
