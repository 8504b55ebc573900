#include "platform/clock.h"

#include <ctime>

#include "platform/host.h"
#include "platform/diagnostics.h"

uint32_t GetNowTime(int* year, int* month, int* day, int* weekday, int* hour, int* minute, int* second) {
  int* outs[] = {year, month, day, weekday, hour, minute, second};
  for (int* p : outs)
    if (p) *p = 0;
  std::time_t now = static_cast<std::time_t>(HostNow());
  std::tm tm{};
  if (!localtime_r(&now, &tm)) {
    FatalAt(__FILE__, __LINE__);
    Fatal("localtime() == NULL!\n");
  }
  if (year) *year = tm.tm_year + 1900;
  if (month) *month = tm.tm_mon + 1;
  if (day) *day = tm.tm_mday;
  if (weekday) *weekday = tm.tm_wday;
  if (hour) *hour = tm.tm_hour;
  if (minute) *minute = tm.tm_min;
  if (second) *second = tm.tm_sec;
  return static_cast<uint32_t>(now);
}

void PrintNow() {
  int y, mo, d, wd, h, mi, s;
  GetNowTime(&y, &mo, &d, &wd, &h, &mi, &s);
  PRT("Date %4d-%02d-%02d %02d:%02d:%02d\n", y, mo, d, h, mi, s);
}
