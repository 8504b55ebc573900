// printf-style formatting into a std::string, for messages and report lines.
#pragma once

#include <string>

// The text that format and its arguments make, cut at 1023 bytes.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
