// From the CSV export of Kivora (one "<code>.txt" per stock: date, open, high, low, close,
// volume in shares, and optionally the two margin balances, separated by tabs) to a source
// folder of FolderSource, so a database can be moved to another machine or rebuilt.
//
// The calendar is every date that occurs in any export file. Prices are written so that the
// seed stores them as exported: the two series held in hundredths (1003, 1007) as yen with
// two decimals, volumes of company stocks in thousands of shares with three decimals. Margin
// balances are not carried.
#pragma once

#include <string>

// Converts every export file in from_folder into to_folder (created when missing). Returns
// the number of stock files written, or -1 with *reason (CP932) when nothing could be
// converted (no export file, a file that does not parse, a folder that cannot be written).
int ConvertExportFolder(const std::string& from_folder, const std::string& to_folder, std::string* reason);
