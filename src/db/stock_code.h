// Stock codes: the numeric code, its four-character text, and the code order.
#pragma once

#include <cstdint>

// The 19 letters of alphanumeric codes (B, E, I, O, Q, V and Z are not used).
extern const char CODE_LETTERS[20];
constexpr int32_t CODE_MAX = 43629;  // 9Y99

// A code's text, returned by value so that a second call never overwrites the first.
struct CodeText {
  char text[16];
  const char* c_str() const { return text; }
  operator const char*() const { return text; }
};

// "%04d" below 10000, "%03d%c" below 26530, "%d%c%02d" up to 43629.
CodeText Code_to_String(int32_t code);
// The code of a four-character text, or 0 when the text is not a code.
int32_t String_to_Code(const char* text);
// The stock number of a code (first match in the stock table), or -1.
int Code_to_StockNum(int32_t code);
// Rebuilds CodeOrder from the stock table.
void MakeCodeOrder();
