#include "net/token_list.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/diagnostics.h"

char PlaneBUF[PlaneBUF_NUM + 1][TOKEN_SIZE];
char YuPlaneBUF[YuPlaneBUF_NUM + 1][TOKEN_SIZE];
int nPlaneBUF = 0;
int nYuPlaneBUF = 0;

namespace {

// The name of a tag ("td", "/th", ...) in lower case, from its first bytes.
bool TagIs(const char* name, int len, const char* want) {
  if (len != static_cast<int>(std::strlen(want))) return false;
  for (int i = 0; i < len; ++i)
    if ((name[i] | 0x20) != want[i]) return false;
  return true;
}

}  // namespace

int TokenisePage(const char* text, char (*list)[TOKEN_SIZE], int num, TokenLongRule rule, bool empty_cells) {
  constexpr int kMax = TOKEN_SIZE - 1;
  char tag[4];              // the first bytes of the current tag's name
  int tag_len = 0;
  bool tag_named = false;   // the name has ended (a blank or more than 3 bytes)
  bool cell_open = false;   // a table cell opened ...
  int cell_first = 0;       // ... when the list held this many tokens
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
      tag_len = 0;
      tag_named = false;
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
      if (b != '>') {
        if (tag_named || b == ' ' || b == '\t' || b == '\n' || b == '\r' || (b == '/' && tag_len > 0)) tag_named = true;
        else if (tag_len < 3) tag[tag_len++] = static_cast<char>(b);
        else tag_named = true, tag_len = 4;  // a longer name: no cell tag
        continue;
      }
      in_tag = false;
      if (!empty_cells || tag_len > 3) continue;
      if (TagIs(tag, tag_len, "td") || TagIs(tag, tag_len, "th")) {
        cell_open = true;
        cell_first = count;
      } else if (TagIs(tag, tag_len, "/td") || TagIs(tag, tag_len, "/th")) {
        // A cell without text keeps its place in the row as an empty token.
        if (cell_open && count == cell_first) {
          if (count >= num) {
            cut = true;
            break;
          }
          list[count++][0] = '\0';
        }
        cell_open = false;
      }
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
  nPlaneBUF = TokenisePage(text, PlaneBUF, PlaneBUF_NUM, TOKEN_KEEP_CUT, true);
  return nPlaneBUF;
}

int TokeniseYutai(const char* text) {
  nYuPlaneBUF = TokenisePage(text, YuPlaneBUF, YuPlaneBUF_NUM, TOKEN_DROP_FULL);
  return nYuPlaneBUF;
}

const char* PlaneToken(int i) { return i >= 0 && i < nPlaneBUF ? PlaneBUF[i] : TOKEN_END; }
const char* YuPlaneToken(int i) { return i >= 0 && i < nYuPlaneBUF ? YuPlaneBUF[i] : TOKEN_END; }
