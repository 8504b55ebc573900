// The real date of a bar of any bar period, for the date axes.
#pragma once

// The real date (yyyymmdd) of bar i of a bar period (1 daily, 2 weekly, 3 monthly): the
// day, the first trading day of the week, or the first trading day of the month; 0 outside
// the calendar or for another period.
int BarRealDate(int ashi, int i);
