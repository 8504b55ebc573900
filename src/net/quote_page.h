// The portal's quote page of one symbol: the trading date and time of its prices (the date
// probe) and a stock's open, high, low, close and volume. The parsers read the page's
// plain text (CP932, PageText) and, for the close, the raw page (HttpBuf).
#pragma once

#include <cstdint>

// What the date probe found: month and day of the prices (0 when unknown), the time of the
// last price, and whether the time was assumed (the page gave a date instead of a time,
// so trading had ended: 15:30).
struct QuoteDate {
  int month = 0, day = 0, hour = 0, minute = 0;
  bool assumed = false;
  char time_line[256] = {};  // the line the time was read from (for the log)
};
// Reads the probe's fields; false (with the log line saying why) when the page gives no
// price-limit line or no usable month, day and hour.
bool ParseQuoteDate(const char* page_text, QuoteDate* out);

struct QuotePrices {
  int64_t open = 0, high = 0, low = 0, close = 0, volume = 0;
};
// Reads a stock's prices at scale (100 for the series in hundredths). Exchange rates
// (1003, 1007, 1008) take their one rate as all four prices. Missing parts stay 0.
QuotePrices ParseQuotePrices(const char* page_text, const char* raw, int32_t code, int scale);
