// Shareholder benefits: the table of stocks with benefits (rights months and kinds), its
// file "vurn_yu2.hy3", the kinds, and the rows the benefit list shows under its filters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Yutai {
  int32_t code;      // -1 in a cleared record
  char name[60];     // the company name at the time of download
  char kakutei[80];  // the months of the rights date as the site shows them
  int32_t bunrui;    // YutaiBunrui bits
};
static_assert(sizeof(Yutai) == 148);
static_assert(offsetof(Yutai, kakutei) == 64);
static_assert(offsetof(Yutai, bunrui) == 144);

constexpr int YUTAI_MAX_KABU = 1600;
constexpr int YUTAI_HEADER_TEXT = 40;
constexpr const char YUTAI_FILE[] = "vurn_yu2.hy3";
constexpr int64_t YUTAI_FILE_SIZE = YUTAI_HEADER_TEXT + 4 + int64_t{sizeof(Yutai)} * YUTAI_MAX_KABU;
static_assert(YUTAI_FILE_SIZE == 236844);

struct YutaiKind {
  const char* name;   // the combo box text and the keyword on the site's pages
  int32_t bit;
  const char* label;  // the kind column's text, ending in "／"
};
constexpr int YUTAI_KIND_COUNT = 17;  // entry 0: no filter
extern const YutaiKind YutaiBunrui[YUTAI_KIND_COUNT];

// The table in memory, the number in use and the header text of the download it holds.
extern Yutai yutai[YUTAI_MAX_KABU];
extern int Yutai_Last_Num;
extern char YutaiDateText[YUTAI_HEADER_TEXT];
// The filters of the list: month 0 (none) or 1 to 12, kind 0 (none) or 1 to 16; they last
// for the run.
extern int YutaiMonth;
extern int YutaiBunruiNum;

// Clears every record (code -1, "--", "--", 0).
void ClearYutaiTable(Yutai* table);
// Reads the file into the table. 1, or 0 when it is missing or not a benefit file (the table
// is then left as it was).
int ReadYutai();
// Writes the header, Yutai_Last_Num and all 1600 records through a temporary file renamed
// over the old one. 1, or 0 when the write failed (the old file stays).
int WriteYutai();
// Sorts table[0 .. count-1] by ascending code (the first smallest wins on ties).
void SortYutai(Yutai* table, int count);

// True when the month text holds month m (1 to 12) and not only inside 11月 or 12月.
bool YutaiMonthMatches(const char* kakutei, int month);
// The kind column of a record: the labels of its kinds in table order, the last "／"
// removed; the label of kind 0 ("----") when it has none.
std::string YutaiKindText(int32_t bunrui);
// The record indices the list shows under the filters, in table order.
int YutaiListRows(int month, int kind, int* rows, int capacity);
