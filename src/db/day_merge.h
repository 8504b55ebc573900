// Merging a day file into the price database: the trading day is appended after the last
// calendar day or inserted among older days (the oldest day is shifted out when the calendar
// is full), newly listed stocks get their first bar, gaps are filled, splits applied and
// inconsistent bars repaired. A check pass asks and reports and changes nothing; the save
// pass writes.
//
// The update lock is held for the whole merge. A plain append writes the changed bytes in
// place through the undo journal (update_journal.h); every shift of the whole database (an
// inserted day, the oldest day shifted out, a split) writes a new file that is renamed over
// the old one. Either way a kill leaves the database exactly as before or exactly as after.
// Values beyond the calendar's last day are no data: the merge clears them in every record
// it writes. Records are read and written through the merge's own buffer.
#pragma once

#include <cstdint>
#include <string>

#include "db/day_file.h"
#include "db/merge_ui.h"
#include "db/price_model.h"
#include "platform/hooks.h"

// Its notifications to the layers above (RecordMergedHook, ScreeningStaleHook,
// MergeFinishedHook) are in platform/hooks.h; shell registers them at start-up.

struct MergeSummary {
  int32_t date = 0;
  bool inserted = false;      // an older day was inserted
  bool dropped_oldest = false;
  bool rewritten = false;     // the database was written as a new file
  int stocks_merged = 0;      // stocks with a bar from the file
  int last_date = 0;          // days in the calendar afterwards
};

// Checks and merges a parsed day file into vurn.hy3 of the working folder. Returns 1 when
// merged, 0 when refused or stopped (the reason went to ui->Stopped, the diagnostic history
// and, unless timed, a box); the database is then as before.
// On success the calendar in memory (nikkei_date, LastDate) is the new one.
int MergeDayFile(const DayFile& file, MergeUi* ui, MergeSummary* summary = nullptr);

// Reads the day file at path (refusing a bad one with a message naming the line) and merges it.
int MergeDayFilePath(const std::string& path, MergeUi* ui, MergeSummary* summary = nullptr);
