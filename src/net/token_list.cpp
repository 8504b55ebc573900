#include "net/token_list.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/diagnostics.h"

char PlaneBUF[PlaneBUF_NUM + 1][TOKEN_SIZE];
char YuPlaneBUF[YuPlaneBUF_NUM + 1][TOKEN_SIZE];
int nPlaneBUF = 0;
int nYuPlaneBUF = 0;

int TokenisePage(const char* text, char (*list)[TOKEN_SIZE], int num, TokenLongRule rule) {
  constexpr int kMax = TOKEN_SIZE - 1;
  char token[TOKEN_SIZE];
  int len = 0;
  bool full = false;        // the token reached 199 bytes or lost bytes
  bool want_trail = false;  // the last byte kept was a lead byte
  bool in_tag = false;
  int count = 0;
  bool cut = false;

  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const unsigned char b = *p;
    if (b == '<') {
      in_tag = true;
      if (len > 0 || full) {
        // A lead byte left without its trail byte is taken back.
        if (want_trail) --len;
        if (!(full && rule == TOKEN_DROP_FULL) && len > 0) {
          if (count >= num) {
            cut = true;
            break;
          }
          std::memcpy(list[count], token, len);
          list[count][len] = '\0';
          ++count;
        }
        len = 0;
      }
      full = want_trail = false;
      continue;
    }
    if (in_tag) {
      if (b == '>') in_tag = false;
      continue;
    }
    if (b == ' ' || b == '\n' || b == '\r' || full) continue;  // a full token takes nothing more
    if (want_trail) {  // second byte of a double-byte character
      token[len++] = static_cast<char>(b);
      want_trail = false;
    } else if (IsCp932LeadByte(b) && len + 2 > kMax) {
      full = true;  // the character would be split: it is left out, and so is the rest
    } else {
      token[len++] = static_cast<char>(b);
      want_trail = IsCp932LeadByte(b);
    }
    if (len >= kMax && !want_trail) full = true;
  }
  if (cut) PRT("str_num >= %d: page cut at %d tokens\n", num, count);
  std::memcpy(list[count], TOKEN_END, sizeof TOKEN_END);
  return count;
}

int TokenisePlane(const char* text) {
  nPlaneBUF = TokenisePage(text, PlaneBUF, PlaneBUF_NUM, TOKEN_KEEP_CUT);
  return nPlaneBUF;
}

int TokeniseYutai(const char* text) {
  nYuPlaneBUF = TokenisePage(text, YuPlaneBUF, YuPlaneBUF_NUM, TOKEN_DROP_FULL);
  return nYuPlaneBUF;
}

const char* PlaneToken(int i) { return i >= 0 && i < nPlaneBUF ? PlaneBUF[i] : TOKEN_END; }
const char* YuPlaneToken(int i) { return i >= 0 && i < nYuPlaneBUF ? YuPlaneBUF[i] : TOKEN_END; }
