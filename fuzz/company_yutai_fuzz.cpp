// Fuzz target for the company and benefit pages, fetched as the downloads fetch them (the
// page fetch is replaced, see page_seam.h): the input's first two pages are a stock's
// overview and financial-results pages, each tokenised and parsed into its record of the
// company file (in a scratch folder); the further pages are benefit ranking pages. The
// token table, the benefit table and the look-ahead stay inside their limits, the record
// holds terminated texts and cells, and it reads back from the file as written.
#include <cstring>

#include "db/database_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "fuzz_scratch.h"
#include "net/company_file.h"
#include "net/company_page.h"
#include "net/token_list.h"
#include "net/yutai_download.h"
#include "net/yutai_table.h"
#include "page_seam.h"

namespace {

constexpr int32_t CODES[] = {1001, 1301, 2914, 7203, 9984};
constexpr int STOCKS = sizeof CODES / sizeof CODES[0];
constexpr int STOCK = 3;  // the stock whose company pages the input gives

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string& dir = FreshScratchFolder();
  // A few stocks, so that records and benefit rows are stored.
  LastKabu = STOCKS;
  for (int s = 0; s < STOCKS; ++s) {
    fundamental[s] = Fundamental{};
    fundamental[s].code = CODES[s];
  }
  MakeCodeOrder();
  fSampleDB = 0;
  // An empty company file of full size, as the download creates it.
  unsigned char header[FUN_HEADER_SIZE] = {};
  WriteScratchFile(dir + FUN_FILE, header, sizeof header, FUN_FILE_SIZE);
  ResetFunBuffer();
  ServePages(data, size);

  for (int page = 0; page < 2 && g_next_page < g_pages.size(); ++page) {
    if (!GetFunPage("https://company.example/page")) continue;
    int n = 0;
    while (n <= WFunCharNum && std::strcmp(WFunChar[n], "$$$$$$$") != 0) ++n;
    Require(n <= WFunCharNum, "end marker after the last company token");
    for (int i = 0; i < n; ++i) Require(strnlen(WFunChar[i], WFUN_CHAR_SIZE) < WFUN_CHAR_SIZE, "company token ends inside its entry");
    Require(std::strcmp(FunToken(n + 5), "$$$$$$$") == 0, "company look-ahead");
    if (!ParseFunPage(STOCK)) continue;
    const FunRecord written = FunBuf;
    Require(written.code == CODES[STOCK], "the record of its stock");
    for (const auto& text : written.text) Require(Terminated(text, sizeof text), "texts terminated");
    for (const auto& row : written.table)
      for (const auto& cell : row) Require(Terminated(cell, sizeof cell), "cells terminated");
    ResetFunBuffer();
    Require(ReadFun(STOCK, 1) == 1 && std::memcmp(&FunBuf, &written, sizeof written) == 0, "the record reads back");
  }

  yutai_num = -1;
  while (g_next_page < g_pages.size()) {
    if (!YutaiFetch("https://benefit.example/page")) continue;
    Require(nYuPlaneBUF >= 0 && nYuPlaneBUF <= YuPlaneBUF_NUM, "benefit token count within the list");
    ParseYutaiPage();
    Require(yutai_num >= -1 && yutai_num < YUTAI_MAX_KABU, "benefit records within the table");
  }
}
