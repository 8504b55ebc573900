// A new edition of the stock master file from the exchange's list of listed issues: the
// list's table (read from its spreadsheet or a CSV copy of it), the mapping of its
// market segments and industry names to ours, and the edition itself, which keeps every
// stock of the current edition at its number and appends the new ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/price_model.h"

// A table of text cells (CP932), the first row holding the headings.
using TextTable = std::vector<std::vector<std::string>>;

// A CSV file's bytes (UTF-8, with or without a byte-order mark, or CP932) as a table of
// CP932 cells. Quoted cells may hold commas, doubled quotes and line breaks.
TextTable ParseCsvTable(const std::string& bytes);

// One row of the list.
struct ListedIssue {
  int32_t code = 0;
  std::string name;      // 銘柄名
  std::string segment;   // 市場・商品区分 (empty when the list gives none: the market is kept)
  std::string industry;  // 33業種区分 ("-" or empty when none)
  int32_t tani = 0;      // 0 when the list gives no unit
  int line = 0;          // row number as the sheet shows it (1 = the headings)
};

struct ListedIssueList {
  int32_t date = 0;  // the list's date (yyyymmdd), 0 when it gives none
  std::vector<ListedIssue> issues;
  std::vector<std::string> problems;  // rows that were left out, with their reason (CP932)
};

// Finds the columns by their headings and reads every row; a row whose code is no code is
// left out with a problem. False, with the reason in *error (CP932, one line a fault, naming
// the rows), when the table has no コード or no 銘柄名 heading, no row with a code, a row
// with a code but no name, a code in two rows, or a date that is no calendar date: a list
// damaged like that would rename or delist stocks that are still listed.
bool ReadListedIssues(const TextTable& table, ListedIssueList* list, std::string* error);

// The market index of a segment text such as "プライム（内国株式）"; *known is false for a
// segment the mapping does not know (index 0 then).
int MarketOfSegment(const std::string& segment, bool* known);
// The index in IndustryName of one of the list's industry names, allowing forms that
// differ only in wording ("情報・通信業" is "情報・通信"); -1 when unknown, -2 for none ("-").
int IndustryOfListName(const std::string& name);

// Markets of the regional exchanges (Nagoya, Fukuoka, Sapporo), whose stocks the exchange's
// list does not carry: missing from it, they stay listed.
bool IsRegionalMarket(int market);

struct EditionSummary {
  std::vector<int32_t> added, delisted, changed;
  int listed = 0;  // stocks of the current edition that the list could delist
  std::vector<std::string> warnings;  // unknown segments and industries, duplicate codes (CP932)
};

// Makes the new edition: entries 0 .. count-1 of current keep their numbers and the
// fields the list does not give; codes of the list not in current are appended (flags
// no-prices and daily download, unit 100 unless the list gives one); codes of current
// missing from the list are marked delisted and leave the daily download; index and
// exchange-rate entries and stocks of the regional exchanges stay as they are. False when
// the table would exceed MAX_KABU.
bool MakeMasterEdition(const Fundamental* current, int count, const ListedIssueList& list,
                       std::vector<Fundamental>* edition, EditionSummary* summary, std::string* error);

// The most stocks one edition may delist out of `listed` before the list counts as cut short:
// 5 % of them, at least 50.
int DelistLimit(int listed);
