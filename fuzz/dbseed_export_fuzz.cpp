// Fuzz target for dbseed's converter from the CSV export: the input's parts are the export
// files 7203.txt, 1003.txt and 1001.txt, converted into a source folder. What the converter
// takes, the seed must read back: the calendar opens, each converted file with days gives a
// series holding each of its days, and the stock's closes and volumes are those exported.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "export_convert.h"
#include "folder_source.h"
#include "fuzz_scratch.h"
#include "input_parts.h"

namespace {

constexpr const char* FILES[] = {"7203.txt", "1003.txt", "1001.txt"};

struct ExportDay {
  int date;
  double v[7];
};

// The days of an export file that was converted, read line by line as the converter does.
std::vector<ExportDay> ExportDays(const std::string& path) {
  std::vector<ExportDay> days;
  FILE* f = std::fopen(path.c_str(), "rb");
  Require(f != nullptr, "export file");
  char line[512];
  ExportDay day;
  while (std::fgets(line, sizeof line, f))
    if (ParseSourceLine(line, &day.date, day.v, 7) >= 5) days.push_back(day);
  std::fclose(f);
  return days;
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string& dir = FreshScratchFolder();
  const std::string from = dir + "export", to = dir + "source";
  Require(::mkdir(from.c_str(), 0755) == 0, "export folder");
  const std::vector<std::string_view> parts = SplitParts(data, size);
  const size_t files = std::min<size_t>(parts.size(), 3);
  for (size_t i = 0; i < files; ++i) WriteScratchFile(from + "/" + FILES[i], parts[i].data(), parts[i].size(), 0);

  std::string reason;
  const int written = ConvertExportFolder(from, to, &reason);
  if (written < 0) {
    Require(!reason.empty(), "a refusal names its reason");
    return;
  }
  Require(written == static_cast<int>(files), "every export file converted");
  FolderSource source;
  bool any_day = false;
  for (size_t i = 0; i < files; ++i) any_day = any_day || !ExportDays(from + "/" + FILES[i]).empty();
  if (!source.Open(to, &reason)) {
    Require(!any_day, "the converted calendar opens");
    return;
  }
  for (size_t i = 0; i < files; ++i) {
    const std::vector<ExportDay> days = ExportDays(from + "/" + FILES[i]);
    const std::string code(FILES[i], 4);
    if (!source.SelectSeries(code.c_str())) {
      Require(days.empty(), "a converted file with days gives a series");
      continue;
    }
    long first = 0, last = 0;
    Require(source.FirstIndex(&first) && source.LastIndex(&last), "a series has its bounds");
    for (const ExportDay& day : days) {
      long index = -1;
      for (long d = first; d <= last && index < 0; ++d) {
        double ole = 0;
        if (source.CalendarDate(d, &ole) && OleDateToRealDate(ole) == day.date) index = d;
      }
      Require(index >= 0, "each exported day in the series");
      if (code != "7203") continue;
      double close = 0, volume = 0;
      Require(source.Close(index, &close) && source.Volume(index, &volume), "the day's values");
      Require(close == day.v[3] && std::fabs(volume * 1000 - day.v[4]) < 0.5, "the closes and volumes exported");
    }
  }
}
