// Fuzz target for the page text layer: any bytes as a received page go through
// ReduceHtml, the dash fix, the conversion to CP932 and both token lists, and the results
// must stay inside their buffers and keep their rules.
#include <cstring>

#include "fuzz_main.h"
#include "net/page_text.h"
#include "net/token_list.h"

namespace {

void CheckList(char (*list)[TOKEN_SIZE], int num, int n, bool drop_full) {
  Require(n >= 0 && n <= num, "token count within the list");
  Require(IsTokenEnd(list[n]), "end marker after the last token");
  for (int i = 0; i < n; ++i) {
    const size_t len = strnlen(list[i], TOKEN_SIZE);
    Require(len > 0 && len < TOKEN_SIZE, "token of 1 to 199 bytes");
    Require(!drop_full || len < TOKEN_SIZE - 1, "no full token in a dropping list");
    Require(std::strpbrk(list[i], " \r\n<") == nullptr, "no blank, line end or tag start in a token");
  }
}

char g_small[8][TOKEN_SIZE];  // a short list, so that the cut at capacity runs often

}  // namespace

void FuzzOne(const unsigned char* data, size_t len) {
  if (len > static_cast<size_t>(HTTP_BUF_SIZE) - 1) len = HTTP_BUF_SIZE - 1;
  std::memcpy(HttpBuf, data, len);
  HttpBuf[len] = '\0';

  const int text_len = ReduceHtml(static_cast<int>(len));
  Require(text_len >= 0 && static_cast<size_t>(text_len) <= len, "text no longer than the page");
  Require(PageText[text_len] == '\0', "text terminated");

  FixUtf8Dash(HttpBuf);
  const int ansi_len = Utf8_to_Ansi(HttpBuf, sizeof HttpBuf);
  Require(ansi_len >= 0 && ansi_len < HTTP_BUF_SIZE && HttpBuf[ansi_len] == '\0', "conversion inside the buffer");

  CheckList(PlaneBUF, PlaneBUF_NUM, TokenisePlane(HttpBuf), false);
  CheckList(YuPlaneBUF, YuPlaneBUF_NUM, TokeniseYutai(HttpBuf), true);
  CheckList(g_small, 7, TokenisePage(PageText, g_small, 7, TOKEN_DROP_FULL), true);
  for (int i = -1; i <= nPlaneBUF + 1; ++i) Require(PlaneToken(i) != nullptr, "look-ahead");
}

