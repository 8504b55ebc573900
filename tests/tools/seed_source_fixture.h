// Source folders for dbseed's tests: a calendar of weekdays, master-file entries and price
// files written line by line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "folder_source.h"
#include "support/test_files.h"

// Weekdays from 2014-01-06 on.
inline std::vector<int> SeedWeekdays(int count) {
  std::vector<int> dates;
  for (double ole = RealDateToOleDate(20140106); static_cast<int>(dates.size()) < count; ++ole) {
    const long wd = static_cast<long>(ole) % 7;  // 0 Saturday, 1 Sunday
    if (wd >= 2) dates.push_back(OleDateToRealDate(ole));
  }
  return dates;
}

inline Fundamental SeedEntry(const char* code_text, const char* name) {
  Fundamental f{};
  f.code = String_to_Code(code_text);
  std::snprintf(f.name, sizeof f.name, "%s", name);
  std::snprintf(f.company, sizeof f.company, "%s", name);
  f.tani = 100;
  return f;
}

// calendar.txt of the folder, one date a line.
inline void WriteSeedCalendar(const std::string& folder, const std::vector<int>& dates) {
  std::string cal;
  for (int d : dates) cal += std::to_string(d) + "\n";
  WriteFileBytes(folder + "/calendar.txt", cal);
}

// <code>.txt of the folder: one line per calendar index from..to (inclusive); line(index)
// gives the fields after the date, an empty text leaves the day out.
template <typename F>
void WriteSeedSeries(const std::string& folder, const std::vector<int>& dates, const char* code, int from, int to,
                     F line) {
  std::string text;
  for (int i = from; i <= to; ++i) {
    const std::string fields = line(i);
    if (!fields.empty()) text += std::to_string(dates[static_cast<size_t>(i)]) + "\t" + fields + "\n";
  }
  WriteFileBytes(folder + "/" + code + ".txt", text);
}
