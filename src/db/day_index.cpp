#include "db/day_index.h"

#include <cstdio>

#include "db/price_model.h"
#include "platform/diagnostics.h"
#include "db/trading_calendar.h"

bool IsRealDate(int32_t date) {
  const int y = date / 10000, m = date / 100 % 100, d = date % 100;
  return y >= 1900 && y <= 2999 && m >= 1 && m <= 12 && d >= 1 && d <= 31;
}

int FindDayIndex(int32_t real_date) {
  const int last = LastTradingDay();
  for (int i = 0; i <= last; ++i)
    if (nikkei_date[i] == real_date) return i;
  return -1;
}

int RealDate_to_DayIndex(int32_t real_date) {
  int i = FindDayIndex(real_date);
  if (i < 0) {
    int32_t last = 0;
    LastTradingDay(&last);
    PRT("内部日付に変換ERR。この日=%dはDB上に存在しない！(nikkei_date[LastDate-1]  %d )\n", real_date, last);
  }
  return i;
}

char* DayIndex_to_String(int index, char* buf) {
  int32_t d = (index >= 0 && index < MAX_DATE) ? nikkei_date[index] : 0;
  std::snprintf(buf, 11, "%4d/%02d/%02d", static_cast<unsigned>(d / 10000) % 10000u,
                static_cast<unsigned>(d / 100) % 100u, static_cast<unsigned>(d) % 100u);
  return buf;
}
