// Code page 932 (Shift-JIS as the Japanese desktop writes it) and its conversions.
// Every narrow string inside the program is CP932; UTF-8 appears only where web pages and
// the terminal come in or go out. Characters CP932 cannot hold become "?", and a broken
// sequence never stops a conversion.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when b starts a double-byte CP932 character.
constexpr bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when b can be the second byte of a double-byte CP932 character (never a control
// byte, a blank or a digit).
constexpr bool IsCp932TrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// UTF-8 to CP932. Unmappable characters and invalid bytes become "?".
std::string Utf8ToCp932(std::string_view utf8);
// CP932 to UTF-8. Invalid bytes become "?".
std::string Cp932ToUtf8(std::string_view cp932);

// The longest prefix of s (at most max_bytes bytes) that does not split a double-byte
// character.
size_t Cp932PrefixLength(std::string_view s, size_t max_bytes);
// The position of needle in s, starting only at character boundaries (so that the trail
// byte of one character and the lead byte of the next never match), or npos.
size_t Cp932Find(std::string_view s, std::string_view needle);
// Copies src into dst[size] (always terminated), cut at a character boundary.
void Cp932CopyTruncated(char* dst, size_t size, std::string_view src);
