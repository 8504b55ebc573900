// Filters of the open-file dialog, written as in the string table:
// "name|patterns|name|patterns|" with the patterns of one filter separated by ';'.
#pragma once

#include <string>
#include <vector>

struct FileFilter {
  std::string name;                   // CP932, shown to the user
  std::vector<std::string> patterns;  // "s*.txt", ...
};

// Splits the table form; a trailing separator is optional, an entry without patterns is
// dropped.
std::vector<FileFilter> ParseFileFilters(const char* filters);
