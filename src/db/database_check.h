// Inspection of a price database file and its stock master file, for the database tool and
// for tests: the header in plain numbers, and a check of every record against the layout
// rules. Reads the raw bytes, with the old bytes of an update that a killed process left
// unfinished put back in memory (the database as the next update lock leaves it); changes
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/database_file.h"

struct DbFileInfo {
  int64_t size = 0;
  DbHeader header{};
  int32_t first_date = 0, last_date = 0;  // calendar range (0 when empty)
  int records_in_file = 0;                // whole record slots present
  int master_count = -1;                  // LastKabu of the master file, -1 when refused
  int32_t master_date = 0;
  std::string master_problem;             // why the master file was refused (CP932), or empty
  int stocks_with_prices = 0;             // records with at least one close
};

// Why the files could not be inspected at all (CP932), empty when they could.
struct DbInspectError {
  std::string text;
};

// Reads the header, the calendar range and the master file's count. Returns false (with
// error->text) when the database file cannot be read or is not of this layout; a master
// file that cannot be taken leaves master_count -1 with the reason in master_problem.
bool ReadDbFileInfo(const std::string& db_path, const std::string& tag_path, DbFileInfo* info,
                    DbInspectError* error);

// One record slot of a database file as stored (beyond the end of file: zero bytes).
bool ReadDbRecordRaw(const std::string& db_path, int slot, Hiashi* record, DbInspectError* error);
// The stock master file as stored: count, date and all MAX_KABU entries. Refused (with the
// file and the reason in error->text) as the program refuses it.
bool ReadMasterRaw(const std::string& tag_path, int* count, int32_t* date, Fundamental* entries,
                   DbInspectError* error);

// The record rules of CheckDbFiles for one record over a calendar of `days` days (its code
// taken as right): false with the first problem in *why (CP932). A merge writes no record
// that this refuses.
bool RecordIsSound(const Hiashi& h, int days, std::string* why);

constexpr int DB_CHECK_MAX_LINES = 100;  // problem lines kept; the count goes on

struct DbCheckResult {
  std::vector<std::string> problems;  // CP932 lines, the first DB_CHECK_MAX_LINES
  int problem_count = 0;
  int records_checked = 0;
  std::string note;  // CP932: an unfinished update that the check read as put back, or empty
};

// Checks the header (version, slots, capacity, LastDate, ascending real dates, file size),
// the master file (size, count, codes) and every record slot: its code equals the master
// entry's, its name is terminated, start and end lie in the calendar, prices and volumes lie
// only within start..end, and no close inside start..end is zero. Returns false (with
// error->text) when the files cannot be read at all.
bool CheckDbFiles(const std::string& db_path, const std::string& tag_path, DbCheckResult* result,
                  DbInspectError* error);
