#include "net/quote_page.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "net/decimal_text.h"
#include "platform/diagnostics.h"

namespace {

constexpr size_t kLineLook = 255;  // bytes of a line that the probe looks at

// A number of at most two bytes (blanks before the digits allowed), 0 when none.
int TwoDigits(const char* p) {
  int v = 0, i = 0;
  while (i < 2 && p[i] == ' ') ++i;
  for (; i < 2 && p[i] >= '0' && p[i] <= '9'; ++i) v = v * 10 + (p[i] - '0');
  return v;
}

// The first line (LF-separated, CR read as a blank, at most kLineLook bytes) containing
// marker; false when none does.
bool FindLine(const std::vector<std::string>& lines, const char* marker, std::string* line) {
  for (const std::string& l : lines)
    if (l.find(marker) != std::string::npos) {
      *line = l;
      return true;
    }
  return false;
}

// Month and day at the first "/" of a line; false when there is no "/" with two bytes on
// each side.
bool MonthDayAtSlash(const std::string& line, int* month, int* day, bool* dashes) {
  const size_t slash = line.find('/');
  if (slash == std::string::npos || slash < 2) return false;
  const char* before = line.c_str() + slash - 2;
  const char* after = line.c_str() + slash + 1;
  if (dashes) *dashes = std::strncmp(before, "--", 2) == 0 && std::strncmp(after, "--", 2) == 0;
  *month = TwoDigits(before);
  *day = TwoDigits(after);
  return true;
}

}  // namespace

bool ParseQuoteDate(const char* page_text, QuoteDate* out) {
  *out = QuoteDate{};
  std::string text(page_text);
  static const char kIgnored[] = "リアルタイム株価、";
  for (size_t at = text.find(kIgnored); at != std::string::npos; at = text.find(kIgnored, at + 1)) {
    text[at] = ' ';
    PRT("無視\n");
  }
  const size_t realtime = text.find("リアルタイム株価");
  const size_t limit = text.find("値幅制限");
  // Later position first, so the earlier one keeps its place.
  const size_t first = std::min(realtime, limit), second = std::max(realtime, limit);
  if (second != std::string::npos) text.insert(second, 1, '\n');
  if (first != std::string::npos) text.insert(first, 1, '\n');
  std::vector<std::string> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, std::min(end - start, kLineLook));
    for (char& c : line)
      if (c == '\r') c = ' ';
    lines.push_back(std::move(line));
    start = end + 1;
  }
  std::string limit_line;
  if (!FindLine(lines, "値幅制限", &limit_line)) {
    PRT("現在の日時なし。ネットに繋がっていない？\n");
    return false;
  }
  PRT("\n\n%s\n", limit_line.c_str());
  bool dashes = false;
  MonthDayAtSlash(limit_line, &out->month, &out->day, &dashes);
  if (dashes) PRT("取引開始前？ 多分07:00 - 09:00\n");
  std::string time_line;
  if (FindLine(lines, "リアルタイム株価", &time_line)) {
    PRT("%s\n", time_line.c_str());
    std::snprintf(out->time_line, sizeof out->time_line, "%s", time_line.c_str());
    const size_t colon = time_line.find(':');
    if (colon != std::string::npos) {
      if (colon >= 2) out->hour = TwoDigits(time_line.c_str() + colon - 2);
      out->minute = TwoDigits(time_line.c_str() + colon + 1);
    } else {
      int month = 0, day = 0;
      if (MonthDayAtSlash(time_line, &month, &day, nullptr) && month == out->month && day == out->day &&
          month != 0) {
        PRT("日付が変わった。安心？ダミーで15時設定。\n");
        out->hour = 15;
        out->minute = 30;
        out->assumed = true;
      }
    }
  }
  PRT("\n%02d/%02d %02d:%02d,  hour_minutes=%4d\n", out->month, out->day, out->hour, out->minute,
      out->hour * 100 + out->minute);
  if (out->month == 0 || out->day == 0 || out->hour == 0 || out->month > 12 || out->day > 31 || out->hour > 23 ||
      out->minute > 59) {
    PRT("時刻、時分の取得失敗\n");
    return false;
  }
  return true;
}

namespace {

// The page number reading: "ストップ高" and "ストップ安" count as blanks before the number.
int64_t PageNumber(const char* p, size_t max_len, int scale) {
  static const char kHigh[] = "ストップ高", kLow[] = "ストップ安";
  const size_t mark = sizeof kHigh - 1;
  for (;;) {
    while (max_len > 0 && *p == ' ') ++p, --max_len;
    if (max_len >= mark && (std::strncmp(p, kHigh, mark) == 0 || std::strncmp(p, kLow, mark) == 0)) {
      p += mark;
      max_len -= mark;
      continue;
    }
    break;
  }
  return ReadScaledDecimal(p, max_len, scale);
}

// The close from the raw page: the number 12 bytes after "savePrice" that follows key.
int64_t SavePriceAfter(const char* raw, const char* key, int scale) {
  const char* k = std::strstr(raw, key);
  if (!k) return 0;
  const char* s = std::strstr(k, "savePrice");
  if (!s) return 0;
  const char* comma = std::strchr(s, ',');
  if (!comma || comma - s >= 256) return 0;
  return PageNumber(s + 12, std::strlen(s + 12), scale);
}

// The close from the page's escaped state: the "value" after key.
int64_t EscapedValueAfter(const char* raw, const char* key, int scale) {
  const char* k = std::strstr(raw, key);
  if (!k) return 0;
  static const char kValue[] = "\\\"value\\\":\\\"";
  const char* v = std::strstr(k, kValue);
  if (!v) return 0;
  v += sizeof kValue - 1;
  return PageNumber(v, strnlen(v, 20), scale);
}

}  // namespace

QuotePrices ParseQuotePrices(const char* page_text, const char* raw, int32_t code, int scale) {
  QuotePrices q;
  if (code == 1003 || code == 1007 || code == 1008) {
    static const char kRate[] = "\"counterCurrencyPrice\":";
    if (const char* r = std::strstr(page_text, kRate)) {
      r += sizeof kRate - 1;
      if (*r == '"') ++r;
      q.open = q.high = q.low = q.close = PageNumber(r, std::strlen(r), scale);
    }
    return q;
  }
  const char* marker = std::strstr(page_text, "ポートフォリオに追加");
  if (!marker) return q;
  // Back to the sixth blank before the marker; a blank that starts "年初来" does not count.
  const char* p = marker;
  int blanks = 0;
  static const char kYear[] = "年初来";
  while (p > page_text && blanks < 6) {
    --p;
    if (*p == ' ' && std::strncmp(p + 1, kYear, sizeof kYear - 1) != 0) ++blanks;
  }
  if (blanks < 6) return q;
  const char* alternatives[][2] = {{"japanUpdateTime", nullptr},
                                   {"priceDateTime", nullptr},
                                   {nullptr, "\\\"changePriceRate\\\""},
                                   {nullptr, "\\\"codeWithMarketExtension\\\""}};
  for (const auto& a : alternatives) {
    q.close = a[0] ? SavePriceAfter(raw, a[0], scale) : EscapedValueAfter(raw, a[1], scale);
    if (q.close != 0) break;
  }
  if (q.close == code) PRT("\nsame, end==code %d!\n", code);
  int64_t* values[] = {&q.open, &q.high, &q.low};
  static const char* const kMarks[] = {"始値 用語 ", "高値 用語 ", "安値 用語 "};
  const char* at = p;
  for (int i = 0; i < 3; ++i) {
    const char* m = std::strstr(at, kMarks[i]);
    if (!m) return q;
    at = m + std::strlen(kMarks[i]);
    const char* end = std::strchr(at, ' ');
    *values[i] = PageNumber(at, end ? static_cast<size_t>(end - at) : std::strlen(at), scale);
  }
  static const char kVolume[] = "出来高 用語 ";
  const char* m = std::strstr(at, kVolume);
  if (!m) return q;
  at = m + sizeof kVolume - 1;
  const char* end = std::strchr(at, ' ');
  q.volume = ReadScaledDecimal(at, end ? static_cast<size_t>(end - at) : std::strlen(at), 1);
  return q;
}
