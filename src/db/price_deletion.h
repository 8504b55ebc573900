// Deleting wrong prices: one stock on one day (kind 0), all stocks on one day (kind 1), one
// stock on all days (kind 2). The user then refills the data by a download or a back-fill.
// Each changed record is told to the screening data (RecordMergedHook), and the snapshot is
// refreshed at the end (MergeFinishedHook).
#pragma once

enum : int { DELETE_ONE_DAY_ONE_STOCK = 0, DELETE_ONE_DAY_ALL_STOCKS = 1, DELETE_ALL_DAYS_ONE_STOCK = 2 };

// The kind last chosen in the deletion dialog, for the rest of the run.
extern int DeleteKindLastUsed;

// The confirmation boxes of a deletion: 1 go ahead, 0 stop.
int ConfirmDelete(int kind, int date_num, int stock_num);

// Deletes. Day index 0 is never deleted (the days are filled from the day before). Kind 1
// writes the whole database as a new file renamed over the old one, so a failure or a kill
// leaves it as before or as after; afterwards the calendar in memory is the new one. Returns
// 1 when done, 0 when refused or failed (reported with a box).
int DeletePrices(int kind, int date_num, int stock_num);

// The day's prices of a stock for the deletion dialog: open, high, low, close, volume in
// shares of day date_num; false when the day has no prices for it.
bool DeletionDayValues(int stock_num, int date_num, int values[5]);
