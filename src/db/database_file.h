// The price database file "vurn.hy3": header, calendar and one record slot per stock.
#pragma once

// Set once the sample database "try.hy3" was opened in place of "vurn.hy3".
extern int fSampleDB;

// mode 0: header; mode 1: calendar; mode 2: record stock_num into the work record.
// Returns 1 on success, 0 on failure.
int VURN_file_in(int stock_num, int mode);
