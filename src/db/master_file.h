// The stock master file "vurn.tag": the whole stock table, the number of stocks and the date
// the file was made. The program only reads it; the writer serves our tools and tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/price_model.h"

constexpr const char* TAG_FILE = "vurn.tag";
// Layout: three header words that readers skip, LastKabu, the creation date (yyyymmdd),
// then MAX_KABU entries of 152 bytes. All little-endian.
constexpr int64_t TAG_COUNT_OFFSET = 12;
constexpr int64_t TAG_DATE_OFFSET = 16;
constexpr int64_t TAG_HEADER_SIZE = 20;
constexpr int64_t TAG_FILE_SIZE = TAG_HEADER_SIZE + static_cast<int64_t>(sizeof(Fundamental)) * MAX_KABU;
static_assert(TAG_FILE_SIZE == 1245204);

// Creation date stored in the stock master file, 0 when reading it failed.
extern int TagDate;

// A stock master file as stored (names not yet terminated).
struct TagContents {
  int32_t count = 0;
  int32_t date = 0;
  std::unique_ptr<Fundamental[]> entries;  // MAX_KABU entries
};
// Reads and checks a stock master file as the program takes it. False, with *reason (CP932,
// beginning with `shown_name`), when the file is missing or unreadable, is not exactly
// TAG_FILE_SIZE bytes, or holds a count or a code out of range.
bool ReadTagFile(const std::string& path, const std::string& shown_name, TagContents* out, std::string* reason);

// Reads vurn.tag from the working folder into the stock table and LastKabu. Returns the
// creation date, or 0 on failure; a missing, short or damaged file leaves the table as it
// was, with a line that names the reason.
int LoadTag();
// Writes a stock master file of count entries (the rest zero) made on date. Replaces the
// file safely; returns 0 or the errno of the failure.
int WriteTag(const std::string& path, int count, int32_t date, const Fundamental* entries);

// The trading unit to divide volumes and balances by: tani, or 1 when it is not positive.
inline int32_t TaniDivisor(const Fundamental& f) { return f.tani > 0 ? f.tani : 1; }
