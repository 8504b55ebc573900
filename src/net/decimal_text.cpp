#include "net/decimal_text.h"

#include <cstring>

namespace {

int FractionDigits(int scale) {
  int digits = 0;
  while (scale >= 10) {
    scale /= 10;
    ++digits;
  }
  return digits;
}

// Appends one digit to a value, saturating.
int64_t Push(int64_t value, char digit) {
  if (value >= DECIMAL_TEXT_MAX / 10) return DECIMAL_TEXT_MAX;
  return value * 10 + (digit - '0');
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ParseScaledDecimal(const char* text, size_t len, int scale, int64_t* out) {
  const int keep = FractionDigits(scale);
  int64_t value = 0;
  bool point = false, digit = false;
  int fraction = 0;
  for (size_t i = 0; i < len; ++i) {
    const char c = text[i];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (IsDigit(c)) {
      digit = true;
      if (!point) value = Push(value, c);
      else if (fraction < keep) {
        value = Push(value, c);
        ++fraction;
      }
    } else {
      return false;
    }
  }
  if (!digit) return false;
  for (; fraction < keep; ++fraction) value = value >= DECIMAL_TEXT_MAX / 10 ? DECIMAL_TEXT_MAX : value * 10;
  *out = value;
  return true;
}

int64_t ReadScaledDecimal(const char* text, size_t max_len, int scale) {
  const int keep = FractionDigits(scale);
  size_t i = 0;
  while (i < max_len && text[i] == ' ') ++i;
  if (i >= max_len || !IsDigit(text[i])) return 0;
  int64_t value = 0;
  bool point = false;
  int fraction = 0;
  for (; i < max_len; ++i) {
    const char c = text[i];
    if (c == ',' && !point) continue;
    if (c == '.' && !point && i + 1 < max_len && IsDigit(text[i + 1])) {
      point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (!point) value = Push(value, c);
    else if (fraction < keep) {
      value = Push(value, c);
      ++fraction;
    }
  }
  for (; fraction < keep; ++fraction) value = value >= DECIMAL_TEXT_MAX / 10 ? DECIMAL_TEXT_MAX : value * 10;
  return value;
}

bool ReadCellNumber(const char* text, size_t max_len, int scale, int64_t* out) {
  char digits[64];
  size_t n = 0;
  for (size_t i = 0; i < max_len && text[i]; ++i) {
    const char c = text[i];
    if (c == ',') {
      // Commas group digits: one may stand only between two digits of the whole part.
      if (n == 0 || !IsDigit(digits[n - 1]) || std::memchr(digits, '.', n) || i + 1 >= max_len || !IsDigit(text[i + 1])) return false;
      continue;
    }
    if (n + 1 >= sizeof digits) return false;
    digits[n++] = c;
  }
  return ParseScaledDecimal(digits, n, scale, out);
}
