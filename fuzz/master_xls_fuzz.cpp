// Fuzz target for the list file of vurndb master as the command reads it: the input is the
// file, a spreadsheet (.xls, read through libfreexl) when it starts as one and a CSV table
// otherwise; its table goes through the heading search and the making of an edition over a
// small current edition, which keeps the current stocks at their numbers.
#include <string>

#include "edition_check.h"
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
  CheckEditionFrom(table);
}
