// What the list targets check once a list file became a table: the heading search and the
// making of an edition over a small current edition; the edition keeps the current stocks
// at their numbers, the index entry untouched, codes valid and fields terminated.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "db/master_list.h"
#include "db/stock_code.h"
#include "fuzz_main.h"

inline void CheckEditionFrom(const TextTable& table) {
  ListedIssueList list;
  std::string error;
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
  Require(std::memcmp(&edition[0], &current[0], sizeof current[0]) == 0, "index entry untouched");
  for (size_t n = 0; n < edition.size(); ++n) {
    const Fundamental& f = edition[n];
    if (n < 3) Require(f.code == current[n].code, "stable numbers");
    Require(f.code > 0 && f.code <= CODE_MAX, "valid code");
    Require(memchr(f.name, 0, sizeof f.name) && memchr(f.industry, 0, sizeof f.industry) &&
                memchr(f.company, 0, sizeof f.company),
            "terminated fields");
    Require(f.market >= 0 && f.market < MARKET_COUNT, "market in the table");
  }
}
