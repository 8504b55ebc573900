#include "platform/number_text.h"

#include <cstdio>
#include <cstring>

namespace {
char g_comma[32];
}

const char* CommaAdd(int64_t value) {
  // The magnitude as unsigned, so that the smallest value has one too.
  uint64_t mag = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[24];
  const int n = std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(mag));
  char* out = g_comma;
  if (value < 0) *out++ = '-';
  int first = n % 3 == 0 ? 3 : n % 3;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (i - first) % 3 == 0) *out++ = ',';
    *out++ = digits[i];
  }
  *out = '\0';
  return g_comma;
}

void CommaInsert(char* text, size_t size) {
  size_t len = std::strlen(text);
  if (len < 3) return;
  const char* dot = std::strchr(text, '.');
  long i = static_cast<long>(dot ? dot - text : len) - 3;
  while (i > 0) {
    if (i == 1 && (text[0] == '-' || text[0] == '+')) break;
    if (len + 2 > size) break;  // no room for one more separator and the terminator
    std::memmove(text + i + 1, text + i, len - i + 1);
    text[i] = ',';
    ++len;
    i -= 3;
  }
}
