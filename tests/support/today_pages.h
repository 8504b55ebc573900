// Synthetic pages of the web sources for today's download: chart JSON documents and quote
// pages (UTF-8, shaped as the parsers expect), and the routes under which the loopback
// server serves them.
#pragma once

#include <cstdint>
#include <string>

// 2026-12-10 09:00 in Japan.
constexpr int64_t kToday0900 = 1796860800;

// A one-day chart document; each value is given as its JSON text ("1234.5", "null").
std::string ChartJson(const std::string& symbol, const std::string& timestamp, const std::string& open,
                      const std::string& high, const std::string& low, const std::string& close,
                      const std::string& volume);
// A chart document of many days with the numeric values as given.
std::string ChartJsonDays(const std::string& symbol, const int64_t* timestamps, const int64_t* open,
                          const int64_t* high, const int64_t* low, const int64_t* close, const int64_t* volume,
                          int days);

// A quote page. time_text is what follows "リアルタイム株価" ("15:30", or a date "12/10"),
// limit_date what the price-limit line shows ("12/10", "--/--"). Prices are page texts
// ("1,234", "38,123.45"); an empty close leaves the page without its close.
struct QuoteFigures {
  std::string time_text = "15:30";
  std::string limit_date = "12/10";
  std::string open, high, low, close, volume;
  bool prices = true;  // false: no price section at all
};
std::string QuotePage(const QuoteFigures& figures);

// The request targets of the two sources.
std::string ChartPath(const std::string& symbol);
std::string QuotePath(const std::string& symbol);
