// The four-price list of the shown stock and the CSV export of one or all stocks into the
// folder CsvOut: one "<code>.txt" per stock, a line per day (date, open, high, low, close,
// volume in shares, and the margin buy and sell balances when the record holds them),
// separated by tabs, ending in CR LF.
#pragma once

#include <cstdint>
#include <string>

#include "db/price_model.h"

// The day-index range of the export; each export starts with the whole calendar.
extern int CsvFirst;
extern int CsvLast;

// The lines of the four-price list of a record ("%d %9d %5d %5d %5d %10d", then the margin
// buy and sell balances when present), days start to end, each ending in "\n".
std::string FourPriceLines(const Hiashi& h);

// The text of one stock's export file over the days first..last of the calendar.
std::string CsvFileText(const Hiashi& h, int first, int last);
// Writes "<code>.txt" of the record into folder (absolute, ending in '/'). 0, or the errno.
int WriteCsvFile(const std::string& folder, const Hiashi& h, int first, int last);

// The export folder: CsvOut made absolute (relative names lie in the working folder), or the
// working folder's "data" when CsvOut is empty; always ending in '/'.
std::string CsvOutFolder();
// Why folder cannot take the export ("" when it can): missing, not a folder, not writable.
std::string CsvFolderProblem(const std::string& folder);

// The dialog "CSV_DATE_SET" checks its two real dates with this: both must be trading days of
// the calendar and the first not after the second; then *first and *last are their indexes.
bool CheckCsvRange(int32_t first_date, int32_t last_date, int* first, int* last);

// The export from the four-price list: asks which stocks, the range, the folder, and writes
// the files (wait dialog), reading records through its own buffer.
void ExportCsv(int shown_stock);
