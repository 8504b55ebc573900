#include "lists/stock_search.h"

#include <algorithm>
#include <cstring>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/screening_engine.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"

namespace {

struct Table {
  const char* half;  // single bytes
  const char* full;  // the same number of double-byte characters
};

// Built from literals, so the bytes are those of the program's code page.
const Table kTables[] = {
    {"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ",
     "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
     "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"},
    {"0123456789", "０１２３４５６７８９"},
    {" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", "　！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿‘｛｜｝～"},
};

}  // namespace

void HankakuToZenkaku(const char* text, char* out, size_t capacity) {
  std::memset(out, 0, capacity);
  if (capacity < 3) return;
  size_t n = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    if (IsCp932LeadByte(*p) && p[1]) {
      out[n++] = static_cast<char>(p[0]);
      out[n++] = static_cast<char>(p[1]);
      p += 2;
    } else {
      for (const Table& t : kTables) {
        const char* at = std::strchr(t.half, *p);
        if (*p && at) {
          const size_t j = static_cast<size_t>(at - t.half);
          out[n++] = t.full[2 * j];
          out[n++] = t.full[2 * j + 1];
          break;
        }
      }
      ++p;
    }
    if (n >= capacity - 2) {
      if (*p) PRT("半角変換 over\n");
      break;
    }
  }
  out[n] = '\0';
}

int CodeSearchText(const char* text, bool* done) {
  *done = false;
  if (std::strlen(text) != 4) return -1;
  *done = true;
  const int32_t code = String_to_Code(text);
  const int s = code ? Code_to_StockNum(code) : -1;
  if (s < 0) PRT("その銘柄コード(%d)は存在しません\n", code);
  return s;
}

bool Cp932Contains(const char* haystack, const char* needle) {
  const size_t nlen = std::strlen(needle);
  if (nlen == 0) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(haystack); *p;) {
    if (std::strncmp(reinterpret_cast<const char*>(p), needle, nlen) == 0) return true;
    p += IsCp932LeadByte(*p) && p[1] ? 2 : 1;
  }
  return false;
}

NameSearchResult NameSearch(const char* text, int* hits) {
  *hits = 0;
  char typed[NAME_INPUT_BYTES + 1];
  Cp932CopyTruncated(typed, sizeof typed, text);
  char full[ZENKAKU_BYTES];
  HankakuToZenkaku(typed, full, sizeof full);
  PRT("'%s','%s'\n", typed, full);
  if (!typed[0]) return NAME_EMPTY;
  std::fill(std::begin(KensakuList), std::end(KensakuList), -1);
  for (int s = 0; s < LastKabu; ++s) {
    const Fundamental& f = fundamental[s];
    char name[sizeof f.name + 1], company[sizeof f.company + 1];
    Cp932CopyTruncated(name, sizeof name, std::string_view(f.name, strnlen(f.name, sizeof f.name)));
    Cp932CopyTruncated(company, sizeof company, std::string_view(f.company, strnlen(f.company, sizeof f.company)));
    const bool hit = Cp932Contains(name, typed) || Cp932Contains(company, typed) ||
                     (full[0] && (Cp932Contains(name, full) || Cp932Contains(company, full)));
    if (!hit) continue;
    KensakuList[(*hits)++] = s;
    if (*hits == NAME_SEARCH_MAX) return NAME_TOO_MANY;
  }
  return *hits ? NAME_FOUND : NAME_NONE;
}

void ShowListStock(int stock_num) {
  ShowStock(stock_num);
}
