// Operations on one stock's record during a merge of a day and the back-fill: shifting out
// the oldest day, recomputing the data range, repairing days without a close and
// out-of-order bars, the consistency reports and the split adjustment. They work on the
// record they are given (a batch passes its own buffer) and on the calendar length they are
// told, never on the shared work record or the calendar in memory.
#pragma once

#include <cstdint>

#include "db/price_model.h"

// Why a record operation refused to go on: data that the program cannot merge sensibly.
// The caller reports the text and stops the merge; nothing has been written.
struct RecordFault {
  bool failed = false;
  char text[256] = {};
};

// Moves every daily array one day towards the past over the `days` days in use (day i takes
// day i + 1), clears day days - 1, and moves start and end one day earlier (start not below
// 0; an end before day 0 leaves the record empty).
void DropOldestDay(Hiashi* h, int days);

// Recomputes start and end from the closes (days 0 .. days - 1). A start after the new end
// sets the fault ("最後と最初が逆転？").
void RecalcRange(Hiashi* h, int days, RecordFault* fault, bool report = true);

// Fills days without a close from the last close before them (volume 0) and makes
// out-of-order bars flat at their close (volume 0). `dates` gives the reported dates.
void RepairRecord(Hiashi* h, const int32_t* dates, int days, bool report = true);
// The same repair for a record merged from fetched pages, except that an out-of-order bar
// keeps its volume.
void RepairFetchedRecord(Hiashi* h, const int32_t* dates, int days);

// Reports a stock whose last day lies before the calendar's last day (and marks the record
// delisted) and every out-of-order bar. Changes nothing else.
void CheckRecord(Hiashi* h, const int32_t* dates, int days);

// Reports implausible closes of the record's last day. Prices of 100 million or more set
// the fault ("株価が1億?!").
void CheckLastDay(const Hiashi& h, const int32_t* dates, int days, RecordFault* fault);

// Multiplies open, high, low and close of the days start .. n - 1 by factor (packed again,
// truncating), where n is the day index of date. A date outside start .. end sets the fault
// ("権利落ち日が範囲外"). Returns 1 when adjusted.
int AdjustSplit(Hiashi* h, const int32_t* dates, int days, int32_t date, double factor, RecordFault* fault);

// Moves the seven daily arrays one day later from `end` down to `pos` (day pos is left as it
// was): room for an inserted day.
void ShiftDaysLater(Hiashi* h, int pos);
// Sets day d of all seven daily arrays to 0.
void ClearDay(Hiashi* h, int d);
// Sets every day from `days` on (beyond the calendar) to 0 in all seven arrays: values there
// are leftovers (of an update that never finished) and never data. True when any was set.
bool ClearDaysFrom(Hiashi* h, int days);
