// Fuzz target for the list of listed issues: any bytes as a CSV copy of the list go through
// the table reader, the heading search and the making of an edition over a small current
// edition; the edition keeps the current stocks at their numbers and terminated fields.
#include <string>

#include "edition_check.h"

void FuzzOne(const unsigned char* data, size_t size) {
  CheckEditionFrom(ParseCsvTable(std::string(reinterpret_cast<const char*>(data), size)));
}
