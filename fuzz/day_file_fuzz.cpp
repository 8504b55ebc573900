// Fuzz target for the day-file reader: any bytes as a day file (named as today's download
// names it, or as a PanRolling file when the first byte is odd) are read whole; a refusal
// names its reason, an accepted file holds a real date and each code once, with no negative
// number.
#include <set>
#include <string>

#include "db/day_file.h"
#include "fuzz_main.h"

void FuzzOne(const unsigned char* data, size_t size) {
  if (size < 1) return;
  const std::string name = (data[0] & 1) ? "s261209.txt" : "y20261209.txt";
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  DayFile day;
  std::string error;
  if (!ParseDayFile(bytes, name, &day, &error)) {
    Require(!error.empty(), "a refusal names its reason");
    return;
  }
  int64_t number = 0;
  int weekday = 0;
  Require(CivilDay(day.date, &number, &weekday), "a real date");
  std::set<int32_t> codes;
  for (const DayLine& line : day.lines) {
    Require(codes.insert(line.code).second, "each code once");
    Require(line.open >= 0 && line.high >= 0 && line.low >= 0 && line.close >= 0 && line.volume >= 0 &&
                line.split >= 0,
            "no negative number");
  }
}
