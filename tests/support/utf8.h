// Narrow literals are compiled as CP932; tests that need UTF-8 bytes (terminal output,
// web pages) write u8"..." and pass it through U8().
#pragma once

#include <string>

inline std::string U8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }
