// The price database file "vurn.hy3": a header with the trading calendar, then one
// 39472-byte record slot per stock number. The sample database "try.hy3" has the same
// layout and stands in when vurn.hy3 is missing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "db/price_model.h"

constexpr const char* DB_FILE = "vurn.hy3";
constexpr const char* SAMPLE_DB_FILE = "try.hy3";

// Layout: five int32 (version, slots, calendar capacity, LastDate, LastKabu), the calendar
// of MAX_DATE int32, then the record slots. All little-endian.
struct DbHeader {
  int32_t version;
  int32_t slot_count;
  int32_t date_capacity;
  int32_t last_date;
  int32_t last_kabu;
};
static_assert(sizeof(DbHeader) == 20);

constexpr int64_t DB_CALENDAR_OFFSET = 20;
constexpr int64_t DB_HEADER_SIZE = DB_CALENDAR_OFFSET + 4 * MAX_DATE;
constexpr int64_t DB_RECORD_SIZE = sizeof(Hiashi);
constexpr int64_t DB_FILE_SIZE = DB_HEADER_SIZE + DB_RECORD_SIZE * MAX_KABU;
constexpr int DB_SLOTS_V4 = 4096;  // written by the seeding tool
constexpr int DB_SLOTS_V5 = 6144;
static_assert(DB_HEADER_SIZE == 11284);
static_assert(DB_RECORD_SIZE == 39472);
static_assert(DB_FILE_SIZE == 323365908);

constexpr int64_t DbRecordOffset(int stock_num) {
  return DB_HEADER_SIZE + static_cast<int64_t>(stock_num) * DB_RECORD_SIZE;
}
// The slot count that belongs to a file version (4, 5, 6), 0 for any other version.
int DbSlotsOfVersion(int version);

// The version read from the header most recently.
extern int DbVersion;
// Set once try.hy3 has been read in place of vurn.hy3; only the full build clears it.
extern int fSampleDB;
// Set while the regular database is being built from the web (leaving the sample mode): the
// back-fill then runs unattended and only stock 0's record is re-aligned to a new calendar.
extern int fDbMake;
// Set while a command that changes prices runs.
extern int fBusy;
// Set when the calendar of the database was refused (not ascending real dates, or not
// readable): the program then runs over an empty calendar (LastDate 0) and writes nothing
// to the database, so the refused calendar stays in the file for a repair. Only a newly
// created database (VURN_file_out mode 0) clears it.
extern int fCalendarRefused;

// The modes of VURN_file_in and VURN_file_out.
enum : int {
  DB_IN_HEADER = 0,     // the header (LastDate, LastKabu, version)
  DB_IN_CALENDAR = 1,   // the calendar nikkei_date
  DB_IN_RECORD = 2,     // record stock_num into the work record
  DB_OUT_CREATE = 0,    // a new vurn.hy3: header, calendar, the scratch record as slot 0
  DB_OUT_CALENDAR = 1,  // rewrite the header and the calendar
  DB_OUT_RECORD = 2,    // the work record into slot stock_num
};

// mode 0: header (LastDate); mode 1: calendar (nikkei_date); mode 2: record stock_num into
// the work record (ReadRecord). Returns 1 on success, 0 on failure. Every call opens
// vurn.hy3 afresh, falling back to try.hy3 when vurn.hy3 does not exist. A failed or short
// record read leaves the work record empty, never with another stock's bars; a record of
// another stock reads as the empty record of this one and counts as success.
int VURN_file_in(int stock_num, int mode);
// mode 0: create a new vurn.hy3 (header, calendar, the scratch record as slot 0, the other
// slots empty); mode 1: rewrite the header and calendar; mode 2: write the work record into
// slot stock_num (WriteRecord). Holds the update lock. Returns 1 on success, 0 on failure
// (reported).
int VURN_file_out(int stock_num, int mode);
// 0 in the sample mode (with the refusal box when report is set), else non-zero.
int IsUpdateAllowed(bool report);

// Forgets what was loaded: the stock table, the calendar, the header's values, the modes,
// the work record and the record reports, as before the first load (tools and tests that
// load several databases in one process).
void ForgetLoadedDatabase();

// Clears a record to the empty record of the current calendar.
void SetEmptyHiashi(Hiashi* h);
// What went wrong in the last failed read or write: names the file and the reason (CP932).
const char* DbFailureText();
// Records (and writes with PRT) the reason of a failed database operation.
void ReportDbFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Records the reason, writing it with PRT only when prt is set.
void SetDbFailure(bool prt, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The number of whole record slots that the file held at the last header read.
int DbSlotsInFile();

// Opens vurn.hy3 for reading, or try.hy3 (setting fSampleDB) when vurn.hy3 does not exist;
// stock_num and mode only label the failure line. Returns the descriptor and the bare name
// of the file opened, or -1 (reported).
int OpenDatabaseForReading(int stock_num, int mode, const char** name);
// Writes size bytes at offset of vurn.hy3 in place, under the update lock and the patient
// open, after checking that the file is a version-6 database that already holds those
// bytes' place (an update never grows the file). durable: synced before returning.
// Returns 1, or 0 (reported).
int UpdateDatabaseAt(int64_t offset, const void* data, size_t size, bool durable);

// A whole database file for tools and tests: the header values, the calendar, the number
// of record slots the file holds, and a filler for the first `filled` of them; the slots
// after those read as zero bytes (written as holes). The file is replaced safely.
struct DbImage {
  DbHeader header{DB_VERSION, MAX_KABU, MAX_DATE, 0, 0};
  const int32_t* dates = nullptr;  // MAX_DATE entries; nullptr for zeros
  int records = MAX_KABU;
  int filled = 0;
  std::function<void(int stock_num, Hiashi* record)> fill;  // record arrives zeroed
};
// Returns 0, or the errno of the failure.
int WriteDatabaseImage(const std::string& path, const DbImage& image);
