// Extending the trading calendar with missing trading days (the back-fill's calendar step):
// the new calendar is planned from a list of fetched dates, then every stock's record is
// re-aligned to it. The whole database is written as a new file renamed over the old one,
// so a kill leaves it exactly as before or exactly as after, never records shifted against
// their calendar.
#pragma once

#include <cstdint>

#include "db/price_model.h"

struct CalendarPlan {
  int old_days = 0;
  int32_t old_dates[MAX_DATE] = {};
  int new_days = 0;                  // N after the trim
  int32_t new_dates[MAX_DATE] = {};
  bool is_new[MAX_DATE] = {};        // the entry was not in the old calendar
  int trim = 0;                      // oldest entries dropped to stay within MAX_DATE
  int added = 0;                     // dates inserted (before the trim)
  // Where each old day went in the new calendar; -1 when it was trimmed away.
  int new_pos[MAX_DATE] = {};
  bool Changed() const { return added > 0 || trim > 0; }
};

// Plans the calendar nikkei_date[0 .. LastDate) extended by the fetched dates. Dates already
// in the calendar or fetched twice, weekend days, dates that are not real dates and dates
// before the calendar's first day are left out (each logged).
void PlanCalendarInsert(const int32_t* fetched, int count, CalendarPlan* plan);

// Re-aligns one record of the old calendar to the plan: days moved to their new places, new
// days empty, start and end re-mapped (an end on the old last day becomes the new last day),
// then days without a close filled from the close before them.
void RealignRecord(const CalendarPlan& plan, Hiashi* h);

// Writes vurn.hy3 anew with the planned calendar and every record re-aligned (under the
// update lock; during the regular database's build only stock 0's record, the others being
// empty), tells RecordMergedHook of each re-aligned stock, and on success puts the new calendar in
// nikkei_date and LastDate. step(stock_num) is called before each stock. Returns 1, or 0
// (reported; the database as before).
int RewriteForCalendar(const CalendarPlan& plan, void (*step)(int stock_num) = nullptr);
