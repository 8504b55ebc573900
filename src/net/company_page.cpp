#include "net/company_page.h"

#include <cstring>
#include <string>

#include "db/price_model.h"
#include "net/company_file.h"
#include "net/internet_client.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/token_list.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"

char WFunChar[WFunCharNum + 1][WFUN_CHAR_SIZE];

namespace {

int g_tokens = 0;

constexpr const char kOverviewHeading[] = "企業概要社員数や役員報酬・資本金";
constexpr const char kResultsHeading[] = "決算発表や業務・財務情報";

struct TextLabel {
  const char* label;
  int field;
};
constexpr TextLabel kTextLabels[] = {
    {"URL", FUN_HOMEPAGE},       {"本社住所", FUN_ADDRESS},   {"電話番号", FUN_PHONE},
    {"設立年月日", FUN_FOUNDED}, {"東証業種名", FUN_INDUSTRY}, {"上場市場名", FUN_MARKET},
    {"決算期", FUN_FISCAL},      {"売買単位", FUN_UNIT},       {"代表者氏名", FUN_PRESIDENT},
};

struct CellLabel {
  const char* label;
  int column;
};
// In the income statement: values 4, 5 and 6 tokens after the label.
constexpr CellLabel kIncomeLabels[] = {
    {"売上高", 1},         {"営業利益", 2},       {"経常利益", 3},           {"当期利益", 4},
    {"一株利益（円）", 5}, {"一株配当（円）", 6}, {"決算月数（カ月）", 14},
};
// Outside it: 3, 4 and 5 tokens after the label.
constexpr CellLabel kRatioLabels[] = {
    {"営業利益率（%）", 7}, {"一株純資産（円）", 8},   {"総資産", 9},
    {"純資産合計", 10},     {"自己資本比率（%）", 13}, {"自己資本利益率（ROE）（%）", 16},
};

bool Contains(const char* token, const char* part) { return Cp932Find(token, part) != std::string::npos; }

bool AsciiDigit(unsigned char b) { return b >= '0' && b <= '9'; }
// CP932 full-width digits: 0x82 0x4F to 0x82 0x58.
bool WideDigit(const unsigned char* p) { return p[0] == 0x82 && p[1] >= 0x4F && p[1] <= 0x58; }

// Whether a cell is a value of column: a fiscal period begins with a digit; any other column
// holds a figure (digits, grouping, point, sign, percent, "△" or "▲" for a loss, a dash
// for none) with or without the unit "百万円". A label or heading is no value.
bool IsColumnValue(const char* token, int column) {
  if (IsTokenEnd(token) || !*token) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(token);
  if (column == 0) return AsciiDigit(p[0]) || WideDigit(p);
  char cell[FUN_CELL_SIZE];
  SetFunCell(cell, token);  // as it would be stored: the unit removed
  const std::string v = cell;
  if (v.empty()) return false;
  static constexpr unsigned char kWideMarks[][2] = {
      {0x81, 0xA2}, {0x81, 0xA3}, {0x81, 0x7C}, {0x81, 0x5C}, {0x81, 0x5D},  // △ ▲ － ― ‐
      {0x81, 0x43}, {0x81, 0x44}, {0x81, 0x93}, {0x81, 0x7B},                // ， ． ％ ＋
  };
  for (size_t i = 0; i < v.size();) {
    const auto* c = reinterpret_cast<const unsigned char*>(v.data() + i);
    if (AsciiDigit(c[0]) || (c[0] && std::strchr(",.-+%", c[0]))) {
      ++i;
      continue;
    }
    if (i + 1 >= v.size()) return false;
    bool mark = WideDigit(c);
    for (const auto& m : kWideMarks) mark |= c[0] == m[0] && c[1] == m[1];
    if (!mark) return false;
    i += 2;
  }
  return true;
}

// Rows 0 to 2 of a column from the tokens at first on. The first token that is no value of
// the column ends it (a short table, the next label): the rows after it hold no data.
void FillColumn(int column, int first) {
  bool ended = false;
  for (int row = 0; row < 3; ++row) {
    const char* v = FunToken(first + row);
    ended = ended || !IsColumnValue(v, column);
    SetFunCell(FunBuf.table[row][column], ended ? "--" : v);
  }
}

void ParseOverview() {
  ClearFunRecord(&FunBuf);
  for (int i = 0; i < g_tokens; ++i) {
    for (const TextLabel& l : kTextLabels) {
      if (std::strcmp(WFunChar[i], l.label) != 0) continue;
      const char* v = FunToken(i + 1);
      Cp932CopyTruncated(FunBuf.text[l.field], FUN_TEXT_SIZE, IsTokenEnd(v) ? "--" : v);
      ++i;
      break;
    }
  }
}

void ParseResults() {
  bool income = false;
  for (int i = 0; i < g_tokens; ++i) {
    const char* t = WFunChar[i];
    if (Contains(t, "損益計算書") && i > 0 && Contains(WFunChar[i - 1], "主要財務指標")) {
      income = true;
      ++i;
      continue;
    }
    if (income) {
      if (Contains(t, "中間業績")) {
        income = false;
        ++i;
        continue;
      }
      if (std::strcmp(t, "決算期") == 0) {
        FillColumn(0, i + 3);
        continue;
      }
      for (const CellLabel& l : kIncomeLabels)
        if (std::strcmp(t, l.label) == 0) FillColumn(l.column, i + 4);
    } else {
      for (const CellLabel& l : kRatioLabels)
        if (std::strcmp(t, l.label) == 0) FillColumn(l.column, i + 3);
    }
  }
}

}  // namespace

const char* FunToken(int i) { return i >= 0 && i < g_tokens ? WFunChar[i] : TOKEN_END; }

int TokeniseFunPage(const char* text) {
  for (auto& e : WFunChar) std::memcpy(e, " ", 2);
  std::string token;       // the current token; "-" alone when an empty cell closed
  std::string tag;         // the text of the current tag, up to WFUN_TAG_MAX bytes
  bool in_tag = false, cell = false, cut = false, long_tag = false;
  int count = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const unsigned char b = *p;
    if (b == '<') {
      in_tag = true;
      tag.clear();
      if (!token.empty()) {
        if (count >= WFunCharNum) {
          cut = true;
          break;
        }
        Cp932CopyTruncated(WFunChar[count++], WFUN_CHAR_SIZE, token);
        token.clear();
        cell = false;
      }
      continue;
    }
    if (!in_tag) {
      if (b == ' ' || b == '\n' || b == '\r') continue;
      if (b == ';' && token.size() >= 5 && token.compare(token.size() - 5, 5, "&nbsp") == 0) {
        token.resize(token.size() - 5);
        continue;
      }
      // The token is cut when stored; a runaway text need not grow without end.
      if (token.size() < 4 * WFUN_CHAR_SIZE) token.push_back(static_cast<char>(b));
      continue;
    }
    if (b == '>') {
      in_tag = false;
      continue;
    }
    if (tag.size() >= WFUN_TAG_MAX) {
      long_tag = true;
      continue;
    }
    tag.push_back(static_cast<char>(b));
    if (tag == "td align" || tag == "TD align") cell = true;
    if (cell && (tag == "/td" || tag == "/TD")) {
      token = "-";
      cell = false;
    }
  }
  if (cut) PRT("WFunCharNum Over: page cut at %d tokens\n", WFunCharNum);
  if (long_tag) PRT("nTmpSize over: a tag longer than %d bytes\n", WFUN_TAG_MAX);
  std::memcpy(WFunChar[count], TOKEN_END, sizeof TOKEN_END);
  g_tokens = count;
  return count;
}

int GetFunPage(const char* url) {
  g_tokens = 0;
  std::memcpy(WFunChar[0], TOKEN_END, sizeof TOKEN_END);
  if (!FetchHttpBody(url, hInternet)) return 0;
  if (HttpStatus >= 400) {
    PRT("HTTP %d %s\n", HttpStatus, url);
    return 0;
  }
  FixUtf8Dash(HttpBuf);
  Utf8_to_Ansi(HttpBuf, HTTP_BUF_SIZE);
  TokeniseFunPage(HttpBuf);
  return 1;
}

int ParseFunPage(int n) {
  if (n < 0 || n >= LastKabu) return 0;
  if (FunBufNum != n && !ReadFun(n, 1)) return 0;
  const bool overview = Contains(FunToken(0), kOverviewHeading);
  const bool results = !overview && Contains(FunToken(0), kResultsHeading);
  if (!overview && !results) {
    PRT("企業情報のページではありません\n");
    return 0;
  }
  // A record never downloaded holds zero bytes: it starts from "no value" everywhere.
  if (FunBuf.code == 0) ClearFunRecord(&FunBuf);
  FunBuf.code = fundamental[n].code;
  if (overview) ParseOverview();
  else ParseResults();
  return WriteFun(n, 2);
}
