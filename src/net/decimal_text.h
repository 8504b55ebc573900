// Prices read from page and document text. The decimal text is scaled by moving digits,
// never through a binary fraction, so 128.14 at scale 100 is 12814 (not 12813), and the
// digits beyond the scale are cut off (truncation towards zero).
#pragma once

#include <cstddef>
#include <cstdint>

// Largest value a scaled reading gives; longer digit runs saturate here.
constexpr int64_t DECIMAL_TEXT_MAX = 999999999999999LL;

// Reads "digits[.digits]" from text[0 .. len) exactly (the whole range must be the number)
// and stores it times scale (a power of ten: 1, 10, 100, 1000) in *out. False for an empty
// range, a sign, an exponent, a second point or any other character.
bool ParseScaledDecimal(const char* text, size_t len, int scale, int64_t* out);

// The page reading: skips leading blanks, ignores commas among the digits ("1,234"), and
// reads "digits[.digits]" up to the first character that cannot belong to it. Returns the
// scaled value, 0 when no digit comes first.
int64_t ReadScaledDecimal(const char* text, size_t max_len, int scale);

// A table cell that holds a number and nothing else: "digits[.digits]" with commas between
// digits ("41,730,000"). Stores it times scale in *out; false for anything else (an empty
// cell, a dash, a sign, a date, a label), so a cell without a number never reads as 0.
bool ReadCellNumber(const char* text, size_t max_len, int scale, int64_t* out);
