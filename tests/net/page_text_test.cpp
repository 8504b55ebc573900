// Page text: the reduction of HTML to plain text, and the conversions before scraping.
#include "net/page_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/utf8.h"

namespace {

std::string Reduce(const std::string& html) {
  std::memcpy(HttpBuf, html.data(), html.size());
  HttpBuf[html.size()] = '\0';
  const int n = ReduceHtml(static_cast<int>(html.size()));
  EXPECT_EQ(static_cast<size_t>(n), std::strlen(PageText));
  return PageText;
}

TEST(ReduceHtml, Table) {
  struct Case {
    const char* html;
    const char* text;
  } cases[] = {
      {"a<b>c", "a c"},
      {"plain text", "plain text"},
      {"x<td>1</td>y", "x 1 \ny"},           // cell end before text: space, then line feed
      {"x</td><b>y", "x\n y"},               // cell end before a tag: only the line feed
      {"x</th>y", "x \ny"},
      {"ab<br>cd", "ab \ncd"},
      {"ab<br>\ncd", "ab \ncd"},             // the page's own line feed, no second one
      {"ab<BR>cd", "ab cd"},                 // the comparison is case-sensitive
      {"ab<TD>1</TD>c", "ab 1 c"},
      {"</td>x", " x"},                      // a cell end at the very start leaves no line feed
      {"0</td>x", "0 \nx"},
      {"a<b>", "a"},                         // a tag at the end adds nothing
      {"a<b c", "a"},                        // an unclosed tag swallows the rest
      {"a>b", "a>b"},                        // ">" outside a tag is text
      {"a<<b>c", "a c"},
      {"&amp;&nbsp;", "&amp;&nbsp;"},        // entities stay undecoded
      {"<p></p><p>x</p>", " x"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Reduce(c.html), c.text) << c.html;
}

TEST(ReduceHtml, ReadsOnlyCountBytes) {
  const std::string html = "x</td>y";
  std::memcpy(HttpBuf, html.data(), html.size() + 1);
  ReduceHtml(6);  // the "y" lies beyond the count: no space, no line feed
  EXPECT_STREQ(PageText, "x");
}

TEST(ReduceHtml, OutputNeverPassesItsBuffer) {
  char out[4];
  EXPECT_EQ(ReduceHtmlText("abcdefgh", 8, out, sizeof out), 3u);
  EXPECT_STREQ(out, "abc");
}

TEST(Utf8ToAnsi, ConvertsInPlace) {
  struct Case {
    std::string utf8;
    std::string cp932;
  } cases[] = {
      {U8(u8"株価 7203"), "株価 7203"},
      {U8(u8"ｱｲｳ"), "\xb1\xb2\xb3"},
      {U8(u8"～"), "\x81\x60"},
      {U8(u8"前日比 😀 更新"), "前日比 ? 更新"},  // one emoji never empties the page
      {"ok\xff", "ok?"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char buf[64];
    std::strcpy(buf, c.utf8.c_str());
    EXPECT_EQ(Utf8_to_Ansi(buf, sizeof buf), static_cast<int>(c.cp932.size()));
    EXPECT_EQ(std::string(buf), c.cp932);
  }
}

TEST(Utf8ToAnsi, FullBufferKeepsItsNulInside) {
  // Exactly four bytes and no NUL: the result is cut to three, the NUL is the fourth.
  std::unique_ptr<char[]> buf(new char[4]{'a', 'b', 'c', 'd'});
  EXPECT_EQ(Utf8_to_Ansi(buf.get(), 4), 3);
  EXPECT_STREQ(buf.get(), "abc");
  // The cut never splits a double-byte character: "a§" is three bytes in either code.
  std::unique_ptr<char[]> buf2(new char[3]{'a', '\xc2', '\xa7'});
  EXPECT_EQ(Utf8_to_Ansi(buf2.get(), 3), 1);
  EXPECT_STREQ(buf2.get(), "a");
}

TEST(FixUtf8Dash, ReplacesMinusAndWaveDash) {
  std::string text = U8(u8"−15 〜 − x");
  FixUtf8Dash(text.data());
  EXPECT_EQ(text, U8(u8"－15 ～ － x"));
  std::string cut = "a\xe2\x88";  // a sequence cut off at the end is left alone
  FixUtf8Dash(cut.data());
  EXPECT_EQ(cut, "a\xe2\x88");
  char buf[64];
  std::strcpy(buf, U8(u8"−15〜").c_str());
  FixUtf8Dash(buf);
  Utf8_to_Ansi(buf, sizeof buf);
  EXPECT_STREQ(buf, "－15～");
}

}  // namespace
