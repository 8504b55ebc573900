// Fixtures for merging days: databases with a chosen calendar (records carry margin
// balances), day files built from rows, and loading the state a merge starts from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/price_model.h"

// One line of a day file for fixture stock `stock` (its code is FixtureCode(stock)).
struct DayRow {
  int stock;
  int64_t open, high, low, close;
  const char* volume;          // thousands of shares, as written
  const char* split = nullptr; // percentage, or none
};
// A day file: the date line, then one tab-separated line per row.
std::string DayFileText(int32_t date, const std::vector<DayRow>& rows);

// vurn.tag with the entries and vurn.hy3 over the calendar: every stock's record as
// FillFixtureRecord gives it, with margin balances (sell d + 1, buy 2 (d + 1) thousand on
// day d), except the stocks listed as empty: those have no prices (as the start-up creates
// the records of new stocks).
void WriteMergeFixture(const std::vector<Fundamental>& entries, const std::vector<int32_t>& calendar,
                       const std::vector<int>& empty = {});
void WriteMergeFixture(int stocks, const std::vector<int32_t>& calendar);
// Loads the stock table, the code order, the header and the calendar; false on failure.
bool LoadMergeFixture();
// What a merge may change in vurn.hy3 of a fixture of `stocks` stocks: the file's size, the
// header and calendar, and the records of the stocks (the slots after them are holes).
std::string DatabaseBytes(int stocks);
