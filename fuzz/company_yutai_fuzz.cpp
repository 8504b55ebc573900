// Fuzz target for the company and benefit pages: any bytes as a page go through the company
// page's tokens and the benefit ranking parser; the token table, the benefit table and the
// look-ahead must stay inside their limits.
#include <cstring>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "fuzz_main.h"
#include "net/company_page.h"
#include "net/token_list.h"
#include "net/yutai_download.h"
#include "net/yutai_table.h"

void FuzzOne(const unsigned char* data, size_t len) {
  static bool stocks = false;
  if (!stocks) {
    // A few stocks, so that rows are stored.
    const int32_t codes[] = {1001, 1301, 2914, 7203, 9984};
    for (int32_t c : codes) fundamental[LastKabu++].code = c;
    MakeCodeOrder();
    stocks = true;
  }
  static char page[1 << 20];
  if (len > sizeof page - 1) len = sizeof page - 1;
  std::memcpy(page, data, len);
  page[len] = '\0';

  const int n = TokeniseFunPage(page);
  Require(n >= 0 && n <= WFunCharNum, "company token count within the table");
  Require(std::strcmp(WFunChar[n], "$$$$$$$") == 0, "end marker after the last company token");
  for (int i = 0; i < n; ++i) Require(strnlen(WFunChar[i], WFUN_CHAR_SIZE) < WFUN_CHAR_SIZE, "company token ends inside its entry");
  Require(std::strcmp(FunToken(n + 5), "$$$$$$$") == 0, "company look-ahead");

  TokeniseYutai(page);
  yutai_num = -1;
  for (int pass = 0; pass < 3; ++pass) ParseYutaiPage();  // the table fills across pages
  Require(yutai_num >= -1 && yutai_num < YUTAI_MAX_KABU, "benefit records within the table");
}
