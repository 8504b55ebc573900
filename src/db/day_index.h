// Lookups between real dates (yyyymmdd) and day indices of the trading calendar.
#pragma once

#include <cstdint>

// True for a real date yyyymmdd of the years 1900 to 2999 (month 1 to 12, day 1 to 31):
// the check every date from a file or a page passes before it is used.
bool IsRealDate(int32_t date);
// The day index of a real date, or -1 with a diagnostic line when it is not a trading day.
int RealDate_to_DayIndex(int32_t real_date);
// The same lookup without the diagnostic line.
int FindDayIndex(int32_t real_date);
// Writes nikkei_date[index] as "yyyy/mm/dd" into buf (at least 11 bytes) and returns buf.
char* DayIndex_to_String(int index, char* buf);
