// Fuzz target for the list file of vurndb master as the command reads it: the input is the
// file, a spreadsheet (.xls, read through libfreexl) when it starts as one and a CSV table
// otherwise; its table goes through the heading search and the making of an edition over a
// small current edition, which keeps the current stocks at their numbers.
#include <cstring>
#include <string>

#include "db/master_list.h"
#include "db/stock_code.h"
#include "fuzz_scratch.h"
#include "list_file.h"

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string path = FreshScratchFolder() + "data_j.xls";
  WriteScratchFile(path, data, size, 0);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TextTable table;
  std::string error;
  if (IsSpreadsheet(bytes)) {
    if (!ReadSpreadsheet(path, &table, &error)) {
      Require(!error.empty(), "a refusal names its reason");
      return;
    }
  } else {
    table = ParseCsvTable(bytes);
  }
  ListedIssueList list;
  if (!ReadListedIssues(table, &list, &error)) {
    Require(!error.empty(), "a refusal names its reason");
    return;
  }
  Fundamental current[3]{};
  current[0].code = 1001;
  current[0].flag = FLAG_INDEX;
  current[1].code = 7203;
  current[2].code = 6758;
  std::vector<Fundamental> edition;
  EditionSummary summary;
  if (!MakeMasterEdition(current, 3, list, &edition, &summary, &error)) return;
  Require(edition.size() >= 3 && edition.size() <= MAX_KABU, "edition within the table");
  for (size_t n = 0; n < edition.size(); ++n) {
    const Fundamental& f = edition[n];
    if (n < 3) Require(f.code == current[n].code, "stable numbers");
    Require(f.code > 0 && f.code <= CODE_MAX, "valid code");
    Require(memchr(f.name, 0, sizeof f.name) && memchr(f.industry, 0, sizeof f.industry), "terminated fields");
    Require(f.market >= 0 && f.market < MARKET_COUNT, "market in the table");
  }
}
