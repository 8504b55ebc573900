// The symbol under which the web sources know a stock: fixed ones for the indices and
// exchange rates, else the code text with a suffix chosen by the stock's market.
#pragma once

#include <cstdint>

struct WebSymbolText {
  char text[24];
  const char* c_str() const { return text; }
};

WebSymbolText WebSymbol(int32_t code, int market);
// The series held in hundredths (exchange rates and the like): their prices are scaled by 100.
bool IsHundredthsCode(int32_t code);
// Stocks read from the quote page instead of the chart interface: Nagoya listings, the
// Nikkei averages, TOPIX.
bool IsQuotePageSymbol(int32_t code, const char* symbol);
