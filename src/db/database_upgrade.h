// The start-up upgrade of the price database: growing an older file to MAX_KABU record
// slots, and creating the records of the stocks that a newer stock master file adds.
#pragma once

#include <string>

constexpr const char* DB_BACKUP_FILE = "vurn.hy3.bak";
constexpr int NEW_STOCK_LIST_LINES = 30;  // lines of the completion list before "等"

// Runs once at start-up, after the stock master file is loaded: the growth, then the new
// stocks. Failures are reported to the user; the file is left as it was.
void UpgradeDatabase();

// Grows a version-4 or version-5 file (or a version-6 file short of whole trailing records)
// to MAX_KABU slots of zero bytes and rewrites its header as version 6. Uses the header and
// calendar already read. Returns 1 on success, 0 on failure (reported with PRT; the header
// is only rewritten after the records are in place).
int GrowDatabase();

// Makes every slot whose record carries another code than its stock-table entry into an
// empty record of that entry. Slots holding price history are reset only when the user
// agrees, after a backup copy of vurn.hy3. show = false (the full database build) shows no
// wait dialog, no question (such slots are kept) and no completion box. Returns the number
// of records created, or -1 when a write failed.
int CreateNewStockRecords(bool show);
