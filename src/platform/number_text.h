// Thousands separators: one formatting used by the chart's read-outs and the list windows.
#pragma once

#include <cstddef>
#include <cstdint>

// The value with "," between groups of three digits ("-1,234,567"). The text lives in one
// buffer of this module that the next call overwrites. 64-bit, so amounts such as a
// volume times a price and the smallest int32 format exactly.
const char* CommaAdd(int64_t value);
// Puts separators into a decimal number in place ("12345.6" -> "12,345.6"); a leading
// sign stays in front. The buffer has size bytes; separators that would not fit are left
// out.
void CommaInsert(char* text, size_t size);
