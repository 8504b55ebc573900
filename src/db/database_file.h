// The price database file "vurn.hy3": header, calendar and one record slot per stock.
#pragma once

// mode 0: header; mode 1: calendar; mode 2: record stock_num into the work record.
// Returns 1 on success, 0 on failure.
int VURN_file_in(int stock_num, int mode);
