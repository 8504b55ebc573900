// The file of the exchange's list of listed issues as vurndb master reads it: the
// spreadsheet (.xls, through libfreexl) or the same table saved as CSV.
#pragma once

#include <string>

#include "db/master_list.h"

// Whether the bytes start as a spreadsheet file of the older binary format.
bool IsSpreadsheet(const std::string& bytes);
// The first worksheet of the .xls file at path as a table of CP932 cells, read in a child
// process. False, with the reason in *error (CP932), when it is not a spreadsheet, has no
// worksheet, claims a sheet larger than the format holds or makes the library fail.
bool ReadSpreadsheet(const std::string& path, TextTable* table, std::string* error);
