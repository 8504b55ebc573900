#include "chart/bar_date.h"

#include "db/price_model.h"
#include "db/trading_calendar.h"

int BarRealDate(int ashi, int i) {
  switch (ashi) {
    case 1:
      return i >= 0 && i < LastDate ? nikkei_date[i] : 0;
    case 2:
      return i >= 0 && i <= LastWeek ? WeekTable[i].date : 0;
    case 3:
      return i >= 0 && i < MonthNum ? MonthFirst[i] : 0;
    default:
      return 0;
  }
}
