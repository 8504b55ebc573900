#include "net/web_symbol.h"

#include <cstdio>
#include <cstring>

#include "db/stock_code.h"

WebSymbolText WebSymbol(int32_t code, int market) {
  WebSymbolText s{};
  struct Fixed {
    int32_t code;
    const char* symbol;
  };
  static constexpr Fixed kFixed[] = {{1001, "998407.O"}, {1002, "998405.T"}, {1003, "USDJPY=X"},
                                     {1007, "USDJPY=X"}, {1008, "EURJPY=X"}, {1011, "5040469.O"},
                                     {1012, "5040468.O"}, {1013, "23337.T"}};
  for (const Fixed& f : kFixed)
    if (f.code == code) {
      std::snprintf(s.text, sizeof s.text, "%s", f.symbol);
      return s;
    }
  const char* suffix = "";
  switch (market) {
    case 1: case 2: case 3: case 4: case 10: case 11: case 14: case 15: case 16: suffix = ".T"; break;
    case 5: case 6: case 7: suffix = ".N"; break;
    case 8: suffix = ".F"; break;
    case 9: suffix = ".S"; break;
    default: break;
  }
  std::snprintf(s.text, sizeof s.text, "%s%s", Code_to_String(code).c_str(), suffix);
  return s;
}

bool IsHundredthsCode(int32_t code) { return code == 1003 || code == 1007 || code == 1008 || code == 1013; }

bool IsQuotePageSymbol(int32_t code, const char* symbol) {
  return code == 1002 || std::strstr(symbol, ".N") || std::strstr(symbol, ".O");
}
