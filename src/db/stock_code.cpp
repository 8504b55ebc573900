#include "db/stock_code.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "db/price_model.h"
#include "platform/diagnostics.h"

const char CODE_LETTERS[20] = "ACDFGHJKLMNPRSTUWXY";

CodeText Code_to_String(int32_t code) {
  CodeText t{};
  if (code > CODE_MAX) {
    FatalAt(__FILE__, __LINE__);
    Fatal("undefined code=%d\n", code);
  }
  if (code < 10000) {
    std::snprintf(t.text, sizeof t.text, "%04d", code);
  } else if (code < 26530) {
    int a = code - 10000;
    std::snprintf(t.text, sizeof t.text, "%03d%c", a % 870 + 130, CODE_LETTERS[a / 870]);
  } else {
    int a = code - 26530;
    std::snprintf(t.text, sizeof t.text, "%d%c%02d", (a % 900) / 100 + 1, CODE_LETTERS[a / 900],
                  (a % 900) % 100);
  }
  t.text[4] = '\0';
  return t;
}

int32_t String_to_Code(const char* text) {
  if (!text || std::strlen(text) != 4) return 0;
  char digits[5] = {};
  int ndigits = 0, letter = -1, letter_pos = -1;
  for (int i = 0; i < 4; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') {
      const char* p = std::strchr(CODE_LETTERS, c);
      if (!p) return 0;
      letter = static_cast<int>(p - CODE_LETTERS);
      letter_pos = i;
    } else {
      digits[ndigits++] = c;
    }
  }
  if (ndigits <= 2) return 0;
  if (ndigits == 4) return std::atoi(digits);
  int number = std::atoi(digits);
  if (letter_pos == 3) return letter * 870 + number + 9870;
  if (letter_pos == 1) return letter * 900 + number + 26430;
  return 0;
}

int Code_to_StockNum(int32_t code) {
  for (int i = 0; i < LastKabu; ++i)
    if (fundamental[i].code == code) return i;
  return -1;
}

void MakeCodeOrder() {
  for (int i = 0; i < LastKabu; ++i) {
    CodeText t = Code_to_String(fundamental[i].code);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(t.text);
    CodeOrder[i][0] = ((s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0')) * 256 + s[3];
    CodeOrder[i][1] = i;
  }
  // Selection sort: the first of equal keys is swapped in, as the order has always been.
  for (int k = 0; k < LastKabu; ++k) {
    int best = k;
    for (int j = k + 1; j < LastKabu; ++j)
      if (CodeOrder[j][0] < CodeOrder[best][0]) best = j;
    if (best != k) {
      int32_t key = CodeOrder[k][0], idx = CodeOrder[k][1];
      CodeOrder[k][0] = CodeOrder[best][0];
      CodeOrder[k][1] = CodeOrder[best][1];
      CodeOrder[best][0] = key;
      CodeOrder[best][1] = idx;
    }
  }
  for (int k = 0; k < LastKabu; ++k) CodeOrder[CodeOrder[k][1]][0] = k;
}
