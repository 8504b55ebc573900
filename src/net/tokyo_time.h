// Japan time (UTC+9; no daylight saving since 1951), whatever the computer's zone: the
// trading dates of the web sources' prices and the clock of the exchange.
#pragma once

#include <cstdint>

struct TokyoTime {
  int year, month, day, hour, minute, second;
};

// The Japan time of a moment (seconds since 1970). False for 0 or below or a year after 2100.
bool TokyoTimeOf(int64_t timestamp, TokyoTime* out);
// The trading date (yyyymmdd) of a timestamp in Japan time; false as above.
bool TokyoDateOfTimestamp(int64_t timestamp, int32_t* date);
// The current Japan time through the host's clock.
TokyoTime TokyoNow();
