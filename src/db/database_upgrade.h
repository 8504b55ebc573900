// The start-up upgrade of the price database: growing an older file to MAX_KABU record
// slots, and creating the records of the stocks that a newer stock master file adds.
#pragma once

#include <string>

constexpr const char* DB_BACKUP_FILE = "vurn.hy3.bak";
constexpr int NEW_STOCK_LIST_LINES = 30;  // lines of the completion list before "等"

// Runs once at start-up, after the stock master file is loaded: removes what an interrupted
// run left (temporary files, a backup that is only a second name of vurn.hy3), asks what to
// do with a file that ends before its last record, then grows an older file and creates the
// records of new stocks, all in one new file that replaces vurn.hy3 in one rename. Failures
// are reported to the user; the file is left as it was.
void UpgradeDatabase();

// Grows a version-4 or version-5 file (or a version-6 file short of whole trailing records)
// to MAX_KABU slots of zero bytes and rewrites its header as version 6, through a new file.
// Uses the header and calendar already read. Returns 1 on success, 0 on failure (reported
// with PRT; the file unchanged).
int GrowDatabase();

// Makes every slot whose record carries another code than its stock-table entry into an
// empty record of that entry, through a new file. Slots holding price history are reset
// only when the user agrees; the old file is then kept as vurn.hy3.bak. show = false (the
// full database build) shows no wait dialog, no question (such slots are kept) and no
// completion box. Returns the number of records created, or -1 when it failed (the file
// unchanged).
int CreateNewStockRecords(bool show);
