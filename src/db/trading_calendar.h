// Week and month positions of the trading calendar: every stock's weekly and monthly bars
// are indexed by the same week and month numbers, as its daily bars are by the day index.
// Weeks and months are derived from nikkei_date by plain calendar arithmetic, so they do
// not depend on the time zone.
#pragma once

#include <cstdint>

#include "db/price_model.h"

// A week or month holds at least one trading day, so these sizes fit any calendar, a sparse
// one (a user who updates once a week) included.
constexpr int WEEK_MAX = MAX_DATE;
constexpr int MONTH_MAX = MAX_DATE;

// Day of the year (0 = 1 January) and weekday (0 = Sunday) of each calendar day.
struct DayFact {
  int16_t yday;
  int8_t wday;
};
extern DayFact DayFacts[MAX_DATE];

// One week: its number (the entry's index), the day index of its first trading day and
// that day's real date. A week is a run of trading days with the same key, day of year
// minus weekday, within one year: the days of a calendar week that straddles the new year
// form two weeks.
struct WeekEntry {
  int32_t week;
  int32_t first_day;
  int32_t date;
};
extern WeekEntry WeekTable[WEEK_MAX];
extern int LastWeek;  // number of the last (possibly incomplete) week; -1 for an empty calendar
extern int16_t DayWeek[MAX_DATE];  // week number of each day index

// Real date of the first trading day of each calendar month, in calendar order.
extern int32_t MonthFirst[MONTH_MAX];
extern int MonthNum;                // months in the calendar
extern int16_t DayMonth[MAX_DATE];  // month number of each day index

// The calendar's last trading day, if any: its day index, with its real date in *date when
// date is given; -1 (and date 0) for an empty calendar (LastDate 0, as after a refused
// calendar). A LastDate beyond MAX_DATE counts as MAX_DATE. Index the calendar's end only
// through this.
int LastTradingDay(int32_t* date = nullptr);

// Fill DayFacts, WeekTable, DayWeek, LastWeek (and MonthFirst, DayMonth, MonthNum) from
// nikkei_date[0 .. LastDate).
void BuildWeekTable();
void BuildMonthTable();
// Rebuild the tables when the calendar changed since they were built (or after
// InvalidateCalendarTables); true when they were rebuilt.
bool EnsureWeekTable();
bool EnsureMonthTable();
// Marks the tables out of date (ResetAshiCache calls it).
void InvalidateCalendarTables();
// Counts the builds of each table, so that a series built on older tables is known as such.
int WeekTableBuilds();
int MonthTableBuilds();

// The week whose first date is the greatest not above date; LastWeek for any date on or
// after the last week's first date. A date before the first week is an internal error.
int RealDate_to_WeekNum(int32_t date);
// The first trading date of a week; for LastWeek the calendar's last date. A number not in
// the table is an internal error.
int32_t WeekNum_to_RealDate(int week_num);

// Day of the year and weekday of a yyyymmdd date. A date that is not a calendar date is
// normalised as the C library does (20240230 counts as 1 March) and false is returned.
bool CalendarDayFacts(int32_t date, int* yday, int* wday, int* year);
