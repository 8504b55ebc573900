#include "platform/codepage.h"

#include <gtest/gtest.h>

#include "support/utf8.h"

namespace {

TEST(Codepage, LiteralsAreCompiledAsCp932) {
  EXPECT_EQ(std::string("警告"), "\x8c\x78\x8d\x90");
  EXPECT_EQ(std::string("～"), "\x81\x60");  // CP932, not SHIFT_JIS's wave dash
  EXPECT_EQ(std::string("ｱ"), "\xb1");
  EXPECT_EQ(std::string("－"), "\x81\x7c");
}

TEST(Codepage, RoundTrips) {
  struct Case {
    std::string utf8;
    std::string back;
  } cases[] = {
      {U8(u8"日経平均 7203"), U8(u8"日経平均 7203")},
      {U8(u8"ｱﾝ"), U8(u8"ｱﾝ")},  // half-width kana
      {U8(u8"～"), U8(u8"～")},    // U+FF5E
      {U8(u8"①"), U8(u8"①")},    // NEC extension
      {U8(u8"a😀z"), "a?z"},      // emoji: not in CP932
      {"a\xff\xfe b", "a?? b"},    // invalid UTF-8 bytes
      {"end\xe6\x97", "end?"},     // cut-off sequence
  };
  for (const Case& c : cases) EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(c.utf8)), c.back) << c.utf8;
  EXPECT_EQ(Utf8ToCp932(U8(u8"～")), "\x81\x60");
  EXPECT_EQ(Cp932ToUtf8("株価"), U8(u8"株価"));
  EXPECT_EQ(Utf8ToCp932(""), "");
  EXPECT_EQ(Cp932ToUtf8("\x82"), "?");
}

TEST(Codepage, CuttingKeepsWholeCharacters) {
  const std::string s = "ab株価";  // a b 株(2) 価(2)
  EXPECT_EQ(Cp932PrefixLength(s, 3), 2u);
  EXPECT_EQ(Cp932PrefixLength(s, 4), 4u);
  EXPECT_EQ(Cp932PrefixLength(s, 5), 4u);
  EXPECT_EQ(Cp932PrefixLength(s, 100), 6u);
  char buf[4];
  Cp932CopyTruncated(buf, sizeof buf, s);
  EXPECT_STREQ(buf, "ab");
  // Half-width kana are single bytes.
  EXPECT_EQ(Cp932PrefixLength("\xb1\xb2\xb3", 2), 2u);
}

}  // namespace
