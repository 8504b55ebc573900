// Fuzz target for the readers of today's prices: any bytes as a chart JSON document and as
// a quote page (raw and reduced). Every array read stays within its count, values are never
// negative, and the date probe's fields stay in their ranges when it succeeds.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_main.h"
#include "net/chart_json.h"
#include "net/page_text.h"
#include "net/quote_page.h"

void FuzzOne(const unsigned char* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  int64_t values[8];
  for (const char* key : {"open", "close", "timestamp", "volume"}) {
    for (int scale : {1, 100}) {
      std::memset(values, 0xff, sizeof values);
      const int n = ReadJsonArrayIn(text, size, key, values, 4, scale);
      Require(n >= 0 && n <= 4, "at most count values");
      for (int i = 0; i < n; ++i) Require(values[i] >= 0, "values are not negative");
      Require(values[4] == -1, "nothing written past count");
    }
  }
  std::string raw(text, size);
  std::vector<char> plain(size + 1);
  ReduceHtmlText(raw.c_str(), raw.size(), plain.data(), plain.size());
  Utf8_to_Ansi(plain.data(), plain.size());
  QuoteDate q;
  if (ParseQuoteDate(plain.data(), &q)) {
    Require(q.month >= 1 && q.month <= 12 && q.day >= 1 && q.day <= 31, "date in range");
    Require(q.hour >= 1 && q.hour <= 23 && q.minute >= 0 && q.minute <= 59, "time in range");
  }
  const QuotePrices p = ParseQuotePrices(plain.data(), raw.c_str(), 7203, 100);
  Require(p.open >= 0 && p.high >= 0 && p.low >= 0 && p.close >= 0 && p.volume >= 0, "prices not negative");
}
