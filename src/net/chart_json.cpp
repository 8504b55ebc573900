#include "net/chart_json.h"

#include <cstring>
#include <string>

#include "db/day_index.h"
#include "db/packed_value.h"
#include "net/decimal_text.h"
#include "net/net_config.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/tokyo_time.h"
#include "platform/diagnostics.h"

Hiashi WebHiashi;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The position just after the "[" of key's array, or npos. A key whose value is not an
// array (an object member of the same name elsewhere) is passed over for the next one.
size_t FindArrayStart(const char* text, size_t len, const char* key) {
  const std::string quoted = std::string("\"") + key + "\"";
  const std::string_view all(text, len);
  for (size_t at = all.find(quoted); at != std::string_view::npos; at = all.find(quoted, at + 1)) {
    size_t p = at + quoted.size();
    while (p < len && IsBlank(text[p])) ++p;
    if (p >= len || text[p] != ':') continue;
    ++p;
    while (p < len && IsBlank(text[p])) ++p;
    if (p < len && text[p] == '[') return p + 1;
  }
  return std::string_view::npos;
}

}  // namespace

int ReadJsonArrayIn(const char* text, size_t len, const char* key, int64_t* out, int count, int scale) {
  size_t p = FindArrayStart(text, len, key);
  if (p == std::string_view::npos) return 0;
  int stored = 0;
  while (stored < count) {
    size_t start = p;
    while (start < len && IsBlank(text[start])) ++start;
    if (start >= len || text[start] == ']') break;  // the end, or an empty array
    size_t end = start;
    while (end < len && text[end] != ',' && text[end] != ']' && text[end] != '}') ++end;
    if (end >= len) break;  // cut off before the element ended: not stored
    size_t last = end;
    while (last > start && IsBlank(text[last - 1])) --last;
    int64_t value = 0;
    if (!ParseScaledDecimal(text + start, last - start, scale, &value)) value = 0;
    out[stored++] = value;
    if (text[end] != ',') break;  // "]" ends the array (a "}" ends a broken one)
    p = end + 1;
  }
  return stored;
}

int ReadJsonArray(const char* key, int64_t* out, int count, int scale) {
  return ReadJsonArrayIn(HttpBuf, static_cast<size_t>(HttpBufLen), key, out, count, scale);
}

int ReadChartArrays(int64_t* open, int64_t* high, int64_t* low, int64_t* close, int64_t* timestamp,
                    int64_t* volume, int count, int scale) {
  ReadJsonArray("open", open, count, scale);
  ReadJsonArray("high", high, count, scale);
  ReadJsonArray("low", low, count, scale);
  ReadJsonArray("close", close, count, scale);
  ReadJsonArray("volume", volume, count, 1);
  return ReadJsonArray("timestamp", timestamp, count, 1);
}

namespace {

struct WorldIndex {
  int32_t code;
  const char* symbol;
};
constexpr WorldIndex kWorldIndices[] = {
    {1020, "DJI"},   {1021, "GSPC"},       {1022, "IXIC"},     {1023, "FTSE"},  {1024, "GDAXI"},
    {1025, "FCHI"},  {1026, "FTSEMIB.MI"}, {1027, "GSPTSE"},   {1028, "IMOEX.ME"}, {1030, "HSI"},
    {1031, "KS11"},  {1032, "STI"},        {1033, "KLSE"},     {1034, "SET.BK"}, {1035, "000001.SS"},
};

// Known bad days of single codes in the chart interface's data; up_to: every date on or
// before it as well.
struct BadDays {
  int32_t code;
  int32_t up_to;
  int32_t dates[4];
};
constexpr BadDays kBadDays[] = {
    {1306, 0, {20260330, 20260331}},
    {1321, 0, {20261005}},
    {1349, 0, {20131031, 20160518, 20170411, 20170525}},
    {1357, 0, {20241216, 20241217}},
    {1475, 0, {20240808, 20240809}},
    {1489, 0, {20170209, 20170210, 20240117, 20240118}},
    {1557, 0, {20131029, 20131031}},
    {1568, 0, {20240701}},
    {1579, 0, {20240701}},
    {1655, 0, {20170926, 20170927, 20220208, 20220209}},
    {1656, 0, {20170926, 20170927, 20221007, 20221011}},
    {1688, 0, {20151228, 20151229, 20151230, 20160104}},
    {1689, 0, {20231204, 20231205}},
    {1696, 0, {20231204, 20231205}},
    {2237, 20230207, {}},
    {2238, 20230207, {}},
    {2241, 20230309, {}},
    {2242, 20230309, {}},
    {2563, 0, {20200618, 20200619, 20220208, 20220209}},
    {2620, 0, {20201013, 20201014, 20221007, 20221011}},
    {2633, 20210330, {20231206, 20231207}},
    {7877, 0, {20171031}},
    {7983, 0, {20171031}},
};

int64_t At(const int64_t* a, int i, int n) { return i < 0 || i >= n ? 0 : a[i]; }

}  // namespace

const char* WorldIndexName(int32_t code) {
  for (const WorldIndex& w : kWorldIndices)
    if (w.code == code) return w.symbol;
  return nullptr;
}

bool IsKnownBadChartDay(int32_t code, int32_t date, int64_t volume) {
  if (date == 20201001 && volume == 0) return true;
  for (const BadDays& b : kBadDays) {
    if (b.code != code) continue;
    if (b.up_to && date <= b.up_to) return true;
    for (int32_t d : b.dates)
      if (d && d == date) return true;
  }
  return false;
}

// A day with a close, high equal to low and no volume is a placeholder when a neighbour's
// close differs from it by more than a factor of 3 (or there is no neighbour); closes both
// below 30 are exempt from the factor test.
void EraseIsolatedFlatDays(int64_t* open, int64_t* high, int64_t* low, int64_t* close, int64_t* volume, int n) {
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < n; ++i) {
      const int64_t c = close[i];
      if (c == 0 || high[i] != low[i] || volume[i] != 0) continue;
      bool erase = false;
      for (int64_t neighbour : {At(close, i - 1, n), At(close, i + 1, n)}) {
        if (c >= 1 && c <= 29 && neighbour >= 1 && neighbour <= 29) continue;
        if (neighbour == 0 || neighbour / c > 3 || c / neighbour > 3) erase = true;
      }
      if (erase) {
        open[i] = high[i] = low[i] = close[i] = volume[i] = 0;
        changed = true;
      }
    }
  }
}

namespace {

int64_t g_open[CHART_DAYS_MAX], g_high[CHART_DAYS_MAX], g_low[CHART_DAYS_MAX], g_close[CHART_DAYS_MAX],
    g_timestamp[CHART_DAYS_MAX], g_volume[CHART_DAYS_MAX];

}  // namespace

int GetChartHistory(const char* symbol, int stock_num, int world_index, int days) {
  if (days < 1 || days > CHART_DAYS_MAX) {
    FatalAt(__FILE__, __LINE__);
    Fatal("not enough buf\n");
  }
  const int32_t code = fundamental[stock_num].code;
  const char* prefix = world_index ? "^" : "";
  if (code == 1026 || code == 1028 || code == 1035) prefix = "";
  if (code == 1001) {
    symbol = "^N225";
    prefix = "";
    world_index = 1;
  }
  char path[512];
  std::snprintf(path, sizeof path, "/v8/finance/chart/%s%s?range=%dd&interval=1d&events=split%%7Cdiv", prefix, symbol,
                days);
  const std::string url = WebUrl(CurrentNetConfig().chart_url, path);
  const int fetched = GetHttpFile(url.c_str());
  for (int64_t* a : {g_open, g_high, g_low, g_close, g_timestamp, g_volume}) std::memset(a, 0, sizeof g_open);
  int scale = 1;
  const bool hundredths = code == 1003 || code == 1007 || code == 1008 || code == 1013;
  if (!world_index) scale = hundredths ? 100 : 1;
  else if (hundredths) scale = 100;
  else if (code == 1035) scale = 1000;
  else if (code == 1001) scale = 1;
  else scale = 100;
  const int n = fetched ? ReadChartArrays(g_open, g_high, g_low, g_close, g_timestamp, g_volume, CHART_DAYS_MAX, scale)
                        : 0;
  EraseIsolatedFlatDays(g_open, g_high, g_low, g_close, g_volume, n);
  int written = 0, bad_days = 0;
  for (int i = 0; i < n; ++i) {
    int32_t date = 0;
    if (!TokyoDateOfTimestamp(g_timestamp[i], &date)) {
      PRT("日付が範囲外 %lld\n", static_cast<long long>(g_timestamp[i]));
      continue;
    }
    const int day = FindDayIndex(date);
    if (day < 0) continue;
    int64_t o = g_open[i], h = g_high[i], l = g_low[i], c = g_close[i];
    double volume = static_cast<double>(g_volume[i]);
    if (world_index) volume /= (code == 1001 || code == 1002) ? 552.0 : (code > 1002 ? 100.0 : 1.0);
    if (code == 1035 && i == n - 1) c = 0;
    bool bad = h < l || h < o || h < c || l > o || l > c || o == 0 || h == 0 || l == 0 || c == 0 ||
                     h > 100000000 || IsKnownBadChartDay(code, date, g_volume[i]);
    // A volume beyond what a packed value holds would be stored saturated: the day is refused.
    if (!bad && volume > PACKED_MAX_VALUE) {
      PRT("%d の出来高 %.0f が大きすぎるため、この日は読みません\n", date, volume);
      bad = true;
    }
    if (bad) {
      o = h = l = c = 0;
      volume = 0;
      ++bad_days;
    }
    WebHiashi.open[day] = Value_to_Packed(static_cast<int32_t>(o));
    WebHiashi.high[day] = Value_to_Packed(static_cast<int32_t>(h));
    WebHiashi.low[day] = Value_to_Packed(static_cast<int32_t>(l));
    WebHiashi.close[day] = Value_to_Packed(static_cast<int32_t>(c));
    WebHiashi.deki[day] = Double_to_Packed(volume);
    ++written;
    if (day >= MAX_DATE - 3)
      PRT("%d %d (%d,%d,%d,%d, %d)\n", day, date, Packed_to_Value(WebHiashi.open[day]),
          Packed_to_Value(WebHiashi.high[day]), Packed_to_Value(WebHiashi.low[day]),
          Packed_to_Value(WebHiashi.close[day]), Packed_to_Value(WebHiashi.deki[day]));
  }
  PRT("AmericaYahooAPI, code=%d,sum=%d,fAmerica=%d,fAdjust=%d,hen=%d\n", code, written, world_index, 0, bad_days);
  return 1;
}

void GetNikkeiVolume(int stock_num) {
  GetChartHistory("N225", stock_num, 1, MAX_DATE);
  for (int day = 0; day < LastDate && day < MAX_DATE; ++day) {
    WebHiashi.open[day] = WebHiashi.high[day] = WebHiashi.low[day] = WebHiashi.close[day] = 0;
    if (nikkei_date[day] <= 20030314) WebHiashi.deki[day] = 0;
  }
}
