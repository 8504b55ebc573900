// The history pages of the back-fill: the portal's price and margin histories and the other
// portal's daily-bar page, fetched into the token list PlaneBUF and converted row by row
// into the staging record WebHiashi (net/chart_json.h) at the calendar's day indexes.
#pragma once

#include <cstdint>

// Date forms of ParseWebDate.
enum WebDateFormat { WEB_DATE_PORTAL = 1, WEB_DATE_DAILY_BAR = 2 };

// Fetches a history page into PlaneBUF, counting one access (net/access_throttle.h). 0 when
// the page could not be fetched or came with a status of 400 or above (an error page is
// never read as history); 1 otherwise. A restriction notice ("現在表示できません") is logged
// and marks the page (HistoryPageRestricted); its tokens give no rows.
int DBmakeOpenURL(const char* url);
// Whether the page last fetched was the portal's restriction notice.
bool HistoryPageRestricted();

// The real date (yyyymmdd) in a token, or -1. Format 1: "2024/1/5", "2024/01/05" or
// "2024年1月5日"; format 2: "2024/01/05". Tokens with "（", "）" or "、", impossible dates and
// dates after today are not dates.
int32_t ParseWebDate(const char* token, int format);

// Converts the price rows of the page in PlaneBUF (format 1: date, open, high, low, close,
// volume, adjusted close; format 2: date, open, high, low, close, one more column, volume)
// into WebHiashi. 1 when the page held a date (the caller reads the next page), 0 when
// paging must stop.
int DBmakeConvert(int stock_num, int format);
// Converts the weekly margin rows (date, sell balance, buy balance) of the page in PlaneBUF:
// each balance fills every trading day of its Sunday-to-Saturday week. A page without the
// three margin headings changes nothing. 1 when the page held a date, else 0.
int MarginConvert(int stock_num);

// The week key of a date: (year - 1900) * 100 + the week of the year counted from Sunday
// (days before the year's first Sunday are week 0); -1 for a date outside 1900 to 2100.
int ShuToshiBangou(int32_t date);
