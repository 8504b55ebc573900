#include "net/tokyo_time.h"

#include "platform/host.h"

bool TokyoTimeOf(int64_t timestamp, TokyoTime* out) {
  constexpr int64_t kJapanOffset = 9 * 3600;
  if (timestamp <= 0 || timestamp > 4200000000LL) return false;
  const int64_t local = timestamp + kJapanOffset;
  const int64_t seconds = local % 86400;
  // Civil date from a day count (Howard Hinnant's algorithm).
  const int64_t z = local / 86400 + 719468;
  const int64_t era = z / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  if (y > 2100) return false;
  *out = TokyoTime{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), static_cast<int>(seconds / 3600),
                   static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
  return true;
}

bool TokyoDateOfTimestamp(int64_t timestamp, int32_t* date) {
  TokyoTime t;
  if (!TokyoTimeOf(timestamp, &t)) return false;
  *date = (t.year * 100 + t.month) * 100 + t.day;
  return true;
}

TokyoTime TokyoNow() {
  TokyoTime t{};
  TokyoTimeOf(HostNow(), &t);
  return t;
}
