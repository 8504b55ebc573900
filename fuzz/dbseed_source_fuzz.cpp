// Fuzz target for dbseed's source folder: the input's parts are calendar.txt, 7203.txt and
// 1003.txt of a folder, read as the seed reads them. A calendar taken is ascending; a series
// taken lies inside the calendar, gives a value for each of its days and none outside, and
// each day's date comes back from its OLE date.
#include <cmath>
#include <string>

#include "folder_source.h"
#include "fuzz_scratch.h"
#include "input_parts.h"
#include "seed_build.h"

namespace {

constexpr const char* FILES[] = {"calendar.txt", "7203.txt", "1003.txt"};

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string& dir = FreshScratchFolder();
  const std::vector<std::string_view> parts = SplitParts(data, size);
  for (size_t i = 0; i < parts.size() && i < 3; ++i) WriteScratchFile(dir + FILES[i], parts[i].data(), parts[i].size(), 0);

  FolderSource source;
  std::string reason;
  if (!source.Open(dir, &reason)) {
    Require(!reason.empty(), "a refusal names its reason");
    return;
  }
  const std::vector<int>& dates = source.Dates();
  Require(!dates.empty(), "a calendar has days");
  for (size_t d = 1; d < dates.size(); ++d) Require(dates[d - 1] < dates[d], "ascending calendar");
  const long days = static_cast<long>(dates.size());
  double ole = 0;
  Require(!source.CalendarDate(-1, &ole) && !source.CalendarDate(days, &ole), "no date outside the calendar");
  for (long d = 0; d < days && d < 64; ++d) {
    Require(source.CalendarDate(d, &ole), "a date for each day");
    Require(OleDateToRealDate(ole) == dates[static_cast<size_t>(d)], "the date comes back");
  }
  for (const char* code : {"7203", "1003", "../7203", ""}) {
    long first = 0, last = 0;
    if (!source.SelectSeries(code)) {
      Require(!source.FirstIndex(&first), "no series after a refusal");
      continue;
    }
    Require(source.FirstIndex(&first) && source.LastIndex(&last), "a series has its bounds");
    Require(0 <= first && first <= last && last < days, "the series lies inside the calendar");
    double v = 0;
    Require(!source.Close(first - 1, &v) && !source.Close(last + 1, &v), "no value outside the series");
    for (long d = first; d <= last; ++d) {
      double values[6];
      Require(source.Open(d, &values[0]) && source.High(d, &values[1]) && source.Low(d, &values[2]) &&
                  source.Close(d, &values[3]) && source.Volume(d, &values[4]) && source.RightsFactor(d, &values[5]),
              "a value for each day of the series");
      for (double x : values) Require(std::isfinite(x) && std::isfinite(SeedWhole(x)), "finite values");
    }
  }
}
