#include "net/history_pages.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "db/day_file.h"
#include "db/day_index.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "net/access_throttle.h"
#include "net/chart_json.h"
#include "net/decimal_text.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/token_list.h"
#include "net/tokyo_time.h"
#include "platform/clock.h"
#include "net/web_symbol.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"

namespace {

constexpr int32_t SKIPPED_OLD_DATE = 20080301;  // an odd row of old pages, passed over

bool Has(const char* token, const char* part) {
  return Cp932Find(std::string_view(token, strnlen(token, TOKEN_SIZE)), part) != std::string_view::npos;
}

bool HasMinus(const char* token) { return std::strchr(token, '-') != nullptr; }

// The decimal number at p, up to the first character that is not a digit.
int ReadNumber(const char* p, const char* end) {
  int v = 0;
  bool any = false;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    if (v < 100000) v = v * 10 + (*p - '0');
    any = true;
  }
  return any ? v : -1;
}

int g_restricted_pages = 0;
bool g_restricted = false;

// Today's date in Japan: the pages' dates are the exchange's, whatever the computer's zone.
int32_t Today() {
  const TokyoTime now = TokyoNow();
  return now.year * 10000 + now.month * 100 + now.day;
}

// A number cell at scale (1, or 100 for the prices in hundredths). A cell without a number
// (blank, a dash other than the no-trade "-", a label, the next row's date where a cell was
// left out) is no value: its row is skipped, never read as 0.
bool Cell(const char* token, int scale, int64_t* out) { return ReadCellNumber(token, TOKEN_SIZE, scale, out); }
void TellUnreadRow(const char* date_token, int k, int cells) {
  std::string text;
  for (int i = 1; i <= cells; ++i) text += std::string(" [") + PlaneToken(k + i) + "]";
  PRT("%s の行は数値でないセルがあるため読みません:%s\n", date_token, text.c_str());
}

// A value beyond what a packed value holds is no price of ours: its row is refused, never
// stored saturated over a good bar.
bool Storable(int64_t v) { return v <= PACKED_MAX_VALUE; }
void TellRefusedRow(const char* date_token, const char* what) {
  PRT("%s の行は%sが大きすぎるため読みません\n", date_token, what);
}

uint16_t Packed(int64_t v) { return Value_to_Packed(static_cast<int32_t>(v < 0 ? 0 : v)); }

}  // namespace

bool HistoryPageRestricted() { return g_restricted; }

int DBmakeOpenURL(const char* url) {
  g_restricted = false;
  HttpStatus = 0;
  if (!GetHttpFile(url)) {
    PRT("Fail DBmake OpenURL() %.255s\n", url);
    TokenisePlane("");
    return 0;
  }
  CountAccess();
  if (HttpStatus >= 400) {
    PRT("DBmake OpenURL() status=%d %.255s\n", HttpStatus, url);
    TokenisePlane("");
    return 0;
  }
  Utf8_to_Ansi(HttpBuf, HTTP_BUF_SIZE);
  if (Cp932Find(std::string_view(HttpBuf, std::strlen(HttpBuf)), "現在表示できません") != std::string_view::npos) {
    g_restricted = true;
    PRT("規制？nHttpCount=%d,count=%d,", GetHttpCount(), g_restricted_pages++);
    PrintNow();
  }
  TokenisePlane(HttpBuf);
  return 1;
}

int32_t ParseWebDate(const char* token, int format) {
  char t[TOKEN_SIZE];
  const size_t len = strnlen(token, TOKEN_SIZE - 1);
  std::memcpy(t, token, len);
  t[len] = '\0';
  if (Has(t, "（") || Has(t, "）") || Has(t, "、")) return -1;
  const char* end = t + len;
  int year = -1, month = -1, day = -1;
  if (format == WEB_DATE_PORTAL) {
    if (len >= 5 && t[4] == '/') {
      const char* second = static_cast<const char*>(std::memchr(t + 5, '/', len - 5));
      if (!second) return -1;
      year = ReadNumber(t, t + 4);
      month = ReadNumber(t + 5, end);
      day = ReadNumber(second + 1, end);
    } else {
      const std::string_view s(t, len);
      const size_t y = Cp932Find(s, "年"), m = Cp932Find(s, "月"), d = Cp932Find(s, "日");
      if (y == std::string_view::npos || m == std::string_view::npos || d == std::string_view::npos) return -1;
      if (!(y < m && m < d)) {
        PRT("年月日の順番が違う\n");
        return -1;
      }
      if (y < 4) return -1;
      year = ReadNumber(t + y - 4, t + y);
      month = ReadNumber(t + y + 2, end);
      day = ReadNumber(t + m + 2, end);
    }
  } else if (format == WEB_DATE_DAILY_BAR) {
    if (len < 10 || t[4] != '/' || t[7] != '/') return -1;
    year = ReadNumber(t, t + 4);
    month = ReadNumber(t + 5, t + 7);
    day = ReadNumber(t + 8, t + 10);
  } else {
    PRT("unknown WEB %d\n", format);
    return -1;
  }
  if (year < 1900 || year > 2100 || month < 1 || month > 12 || day < 1 || day > 31) return -1;
  const int32_t date = year * 10000 + month * 100 + day;
  int64_t day_number = 0;
  int weekday = 0;
  if (!CivilDay(date, &day_number, &weekday)) return -1;  // 2026/11/31 is no date
  const int32_t today = Today();
  if (date > today) {
    PRT("%d,%d -> %s 未来の日付？キャンセルする\n", today, date, t);
    return -1;
  }
  return date;
}

int ShuToshiBangou(int32_t date) {
  if (date < 19000000 || date > 21000000) {
    PRT("日付が異常 ShuToshiBangou()=%d\n", date);
    return -1;
  }
  int yday = 0, wday = 0, year = 0;
  CalendarDayFacts(date, &yday, &wday, &year);
  return (year - 1900) * 100 + (yday + 7 - wday) / 7;
}

int DBmakeConvert(int stock_num, int format) {
  const int32_t code = fundamental[stock_num].code;
  const int scale = IsHundredthsCode(code) ? 100 : 1;
  const bool no_volume = IsHundredthsCode(code) || stock_num == 0 || stock_num == 1;
  bool any_date = false;
  int rows = 0;
  for (int k = 0; !IsTokenEnd(PlaneToken(k)); ++k) {
    const char* tok = PlaneToken(k);
    if (Has(tok, "時系列情報がありません")) {
      PRT("時系列情報がありません\n");
      return 0;
    }
    const int32_t date = ParseWebDate(tok, format);
    if (date < 0) continue;
    any_date = true;
    if (LastDate <= 0 || date < nikkei_date[0]) {
      if (date == SKIPPED_OLD_DATE) continue;
      PRT("内部日付よりも古い日付の出現。\n");
      return 0;
    }
    if (HasMinus(PlaneToken(k + 1)) || HasMinus(PlaneToken(k + 2)) || HasMinus(PlaneToken(k + 3)) ||
        HasMinus(PlaneToken(k + 4))) {
      PRT("%s %s %s %s %s Yahoo!株価なし。無視　その２\n", tok, PlaneToken(k + 1), PlaneToken(k + 2),
          PlaneToken(k + 3), PlaneToken(k + 4));
      continue;
    }
    if (Has(PlaneToken(k + 1), "）")) continue;
    if (Has(PlaneToken(k + 1), "分割") || Has(PlaneToken(k + 2), "分割")) {
      PRT("Yahoo!分割。無視\n");
      continue;
    }
    const int day = RealDate_to_DayIndex(date);
    if (day < 0) continue;
    int64_t o = 0, h = 0, l = 0, c = 0, v = 0, adj = 0;
    if (!Cell(PlaneToken(k + 1), scale, &o) || !Cell(PlaneToken(k + 2), scale, &h) ||
        !Cell(PlaneToken(k + 3), scale, &l) || !Cell(PlaneToken(k + 4), scale, &c)) {
      TellUnreadRow(tok, k, 4);
      continue;
    }
    const int volume_at = k + (format == WEB_DATE_PORTAL ? 5 : 6);
    const char* volume = PlaneToken(volume_at);
    const bool volume_is_date = Has(volume, "年") && std::strchr(volume, '/');
    const bool has_volume = !volume_is_date && !no_volume;
    if (has_volume && !Cell(volume, 1, &v)) {
      TellUnreadRow(tok, k, volume_at - k);
      continue;
    }
    // The adjusted close: none where the row ends early (the next row's date or the page's
    // end follows); any other cell must be a number.
    const char* adjusted = PlaneToken(k + 6);
    const bool has_adjusted = has_volume && format == WEB_DATE_PORTAL && !Has(adjusted, "年") &&
                              !IsTokenEnd(adjusted) && ParseWebDate(adjusted, WEB_DATE_PORTAL) < 0;
    if (has_adjusted && !Cell(adjusted, 1, &adj)) {
      TellUnreadRow(tok, k, 6);
      continue;
    }
    if (!Storable(o) || !Storable(h) || !Storable(l) || !Storable(c)) {
      TellRefusedRow(tok, "株価");
      k += 4;
      continue;
    }
    if (has_volume && !Storable(v)) {
      TellRefusedRow(tok, "出来高");
      k += 4;
      continue;
    }
    if (has_adjusted && !Storable(adj)) {
      TellRefusedRow(tok, "調整後終値");
      k += 4;
      continue;
    }
    WebHiashi.open[day] = Packed(o);
    WebHiashi.high[day] = Packed(h);
    WebHiashi.low[day] = Packed(l);
    WebHiashi.close[day] = Packed(c);
    ++rows;
    if (has_volume) {
      WebHiashi.deki[day] = Double_to_Packed(static_cast<double>(v));
      if (has_adjusted) {
        int64_t adj_fine = 0, close_fine = 0;
        Cell(adjusted, 10000, &adj_fine);
        Cell(PlaneToken(k + 4), 10000, &close_fine);
        const double adj_close = static_cast<double>(adj_fine) / 10000.0;
        const double close = static_cast<double>(close_fine) / 10000.0;
        if (adj_close == 0) {
          PRT("終値が0になる。調整後の処理で。日経平均の50日目のデータのみ？\n");
        } else if (close > 0) {
          // Only a finite, positive factor is applied: a close of 0 would make it infinite.
          double factor = adj_close / close;
          if (factor == 0) factor = 1;
          if (std::isfinite(factor) && factor > 0 && factor != 1) {
            const int64_t p[4] = {o, h, l, c};
            uint16_t* dst[4] = {&WebHiashi.open[day], &WebHiashi.high[day], &WebHiashi.low[day],
                                &WebHiashi.close[day]};
            bool fits = true;
            for (int i = 0; i < 4; ++i) fits &= std::floor(static_cast<double>(p[i]) * factor) <= PACKED_MAX_VALUE;
            if (!fits) {
              TellRefusedRow(tok, "調整後の株価");
              WebHiashi.open[day] = WebHiashi.high[day] = WebHiashi.low[day] = WebHiashi.close[day] = 0;
              WebHiashi.deki[day] = 0;
              --rows;
            }
            for (int i = 0; i < 4 && fits; ++i)
              *dst[i] = Packed(static_cast<int64_t>(std::floor(static_cast<double>(p[i]) * factor)));
          }
        }
      }
    }
    k += 4;  // with the loop's step: on by five tokens
  }
  if (any_date) return 1;
  PRT("ページに日付データがない。n=%3d,fYahoo=%d,stock_num=%4d(%4d)\n", rows, format, stock_num, code);
  return 0;
}

int MarginConvert(int stock_num) {
  int found = 0;
  for (int k = 0; !IsTokenEnd(PlaneToken(k)); ++k) {
    const char* tok = PlaneToken(k);
    if (Has(tok, "売残増減") || Has(tok, "買残増減") || Has(tok, "信用倍率")) ++found;
  }
  if (found != 3) {
    // Margin history already stored is kept: a page without the table (a notice, an error
    // page, a changed layout) says nothing about the balances.
    PRT("信用残なし found=%2d, code=%4d\n", found, fundamental[stock_num].code);
    return 0;
  }
  if (IsTokenEnd(PlaneToken(0)) || LastDate <= 0) {
    PRT("ページに日付データがない。\n");
    return 0;
  }
  static int week_key[MAX_DATE];
  const int days = LastDate < MAX_DATE ? LastDate : MAX_DATE;
  for (int d = 0; d < days; ++d) week_key[d] = ShuToshiBangou(nikkei_date[d]);
  bool any_date = false;
  for (int k = 0; !IsTokenEnd(PlaneToken(k)); ++k) {
    const char* tok = PlaneToken(k);
    const int32_t date = ParseWebDate(tok, WEB_DATE_PORTAL);
    if (date < 0) continue;
    any_date = true;
    if (date < nikkei_date[0]) {
      if (date == SKIPPED_OLD_DATE) continue;
      PRT("内部日付よりも古い日付の出現。\n");
      return 0;
    }
    if (HasMinus(PlaneToken(k + 1)) || HasMinus(PlaneToken(k + 2))) {
      PRT("%s %s %s Yahoo!信用残なし。無視　その２\n", tok, PlaneToken(k + 1), PlaneToken(k + 2));
      continue;
    }
    int64_t sell_shares = 0, buy_shares = 0;
    if (!Cell(PlaneToken(k + 1), 1, &sell_shares) || !Cell(PlaneToken(k + 2), 1, &buy_shares)) {
      TellUnreadRow(tok, k, 2);
      continue;
    }
    if (!Storable(sell_shares) || !Storable(buy_shares)) {
      TellRefusedRow(tok, "信用残");
      k += 2;
      continue;
    }
    const uint16_t sell = Double_to_Packed(static_cast<double>(sell_shares));
    const uint16_t buy = Double_to_Packed(static_cast<double>(buy_shares));
    const int key = ShuToshiBangou(date);
    for (int d = 0; d < days; ++d)
      if (week_key[d] == key) {
        WebHiashi.margin_sell[d] = sell;
        WebHiashi.margin_buy[d] = buy;
      }
    k += 2;
  }
  if (any_date) return 1;
  PRT("ページに日付データがない。\n");
  return 0;
}
