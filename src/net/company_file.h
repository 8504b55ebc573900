// The company-information file "vurn_fu4.hy3": an 8-byte header and one record of 6020
// bytes per stock number, with the profile texts of the overview page and three fiscal
// periods of the financial-results page. The sample "try_fu4.hy3" has the same layout and is
// read in the sample mode when the regular file does not exist.
#pragma once

#include <cstddef>
#include <cstdint>

#include "db/price_model.h"

constexpr int FUN_TEXT_COUNT = 13;
constexpr int FUN_TEXT_SIZE = 128;
constexpr int FUN_ROWS = 4;      // rows 0 to 2: three periods in page order; row 3 unused
constexpr int FUN_COLUMNS = 17;
constexpr int FUN_CELL_SIZE = 32;

// Text fields filled from the overview page.
enum FunText {
  FUN_HOMEPAGE = 0,
  FUN_ADDRESS = 2,
  FUN_PHONE = 3,
  FUN_FOUNDED = 4,
  FUN_INDUSTRY = 5,
  FUN_MARKET = 7,
  FUN_FISCAL = 9,
  FUN_UNIT = 10,
  FUN_PRESIDENT = 11,
};

struct FunRecord {
  int32_t code;  // 0 = never downloaded
  char text[FUN_TEXT_COUNT][FUN_TEXT_SIZE];
  char table[FUN_ROWS][FUN_COLUMNS][FUN_CELL_SIZE];
  char table2[FUN_ROWS][FUN_COLUMNS][FUN_CELL_SIZE];  // not filled
};
static_assert(sizeof(FunRecord) == 6020);
static_assert(offsetof(FunRecord, text) == 4);
static_assert(offsetof(FunRecord, table) == 1668);
static_assert(offsetof(FunRecord, table2) == 3844);

constexpr const char FUN_FILE[] = "vurn_fu4.hy3";
constexpr const char FUN_SAMPLE_FILE[] = "try_fu4.hy3";
constexpr int64_t FUN_HEADER_SIZE = 8;
constexpr int64_t FUN_FILE_SIZE = FUN_HEADER_SIZE + int64_t{sizeof(FunRecord)} * MAX_KABU;
static_assert(FUN_FILE_SIZE == 49315848);

// The record last read or built, and its stock number (-1 when none).
extern FunRecord FunBuf;
extern int FunBufNum;

// mode 0: checks that the file (or, in the sample mode, the sample) is there with its size;
// mode 1: reads record n into FunBuf unless it is already there. 1, or 0 when the file is
// missing, has a wrong size, n is outside the table or the read failed (with a line).
int ReadFun(int n, int mode);
// mode 0: creates the file (header and 8192 empty records) through a temporary file renamed
// over any old one; mode 1: rewrites the header; mode 2: writes FunBuf as record n. Modes 1
// and 2 write into the open update's copy, or, without one, make a one-write update of their
// own. 1, or 0 on a failure (with a line).
int WriteFun(int n, int mode);

// An update of the file: the writes go to a copy of it that is renamed over the file at the
// end, so a kill or a failed write leaves the file as it was before the update or after it.
// While it is open, ReadFun reads the copy. 1, or 0 when the copy cannot be made (with a line).
int BeginFunUpdate();
// Ends the update: the copy is renamed over the file when anything was written and no write
// failed, else removed. 1 when the file holds the update's writes (or nothing was written),
// 0 when they are lost (with a line; the file is as before the update).
int EndFunUpdate();
// True while an update is open and one of its writes failed: nothing more of it can be kept.
bool FunUpdateFailed();
// Forgets the buffered record, so that the next read goes to the file.
void ResetFunBuffer();

// Sets every text field and every cell of both tables to "--".
void ClearFunRecord(FunRecord* r);
// Copies a cell value, cut to 31 bytes at a character boundary, with "百万円" removed.
void SetFunCell(char* cell, const char* value);

// Writes a whole company file to path (through a temporary file): the header, then record n
// from records[n] for n < count and empty records after them. 0 or errno.
int WriteFunFileImage(const char* path, const FunRecord* records, int count, int32_t last_date,
                      int32_t last_kabu);
