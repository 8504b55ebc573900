#include "lists/number_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/scripted_host.h"

namespace {

TEST(CommaAdd, Table) {
  struct {
    int64_t v;
    const char* text;
  } const cases[] = {{0, "0"},
                     {999, "999"},
                     {1000, "1,000"},
                     {-5000, "-5,000"},
                     {100000, "100,000"},
                     {-1234567, "-1,234,567"},
                     {INT32_MAX, "2,147,483,647"},
                     {INT32_MIN, "-2,147,483,648"},
                     {int64_t{250000} * 1000000, "250,000,000,000"},
                     {INT64_MIN, "-9,223,372,036,854,775,808"}};
  for (const auto& c : cases) EXPECT_STREQ(CommaAdd(c.v), c.text) << c.v;
}

TEST(CommaAdd, SecondCallOverwritesTheFirst) {
  const char* a = CommaAdd(1000);
  const std::string kept = a;
  CommaAdd(2000);
  EXPECT_STREQ(a, "2,000");
  EXPECT_EQ(kept, "1,000");
}

TEST(CommaInsert, Table) {
  struct {
    const char* in;
    const char* out;
  } const cases[] = {{"12345.6", "12,345.6"}, {"1234567", "1,234,567"}, {"-123456.7", "-123,456.7"},
                     {"-123.4", "-123.4"},     {"1234.5", "1,234.5"},     {"+1234", "+1,234"},
                     {"123", "123"},           {"12", "12"},             {"-1234", "-1,234"}};
  for (const auto& c : cases) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s", c.in);
    CommaInsert(buf, sizeof buf);
    EXPECT_STREQ(buf, c.out) << c.in;
  }
  // A buffer without room for the separators stays a valid string.
  char tight[8] = "1234567";
  CommaInsert(tight, sizeof tight);
  EXPECT_STREQ(tight, "1234567");
}

TEST(Clipboard, LinesInOrderWithinTheBlock) {
  ScriptedHost host;
  ClipboardText empty(256000);
  CopyTextToClipboard(empty);
  EXPECT_EQ(host.clipboard, "");

  ClipboardText c(20);
  EXPECT_TRUE(ClipboardAppendf(&c, "%s\t%s\r\n", "1301", "極洋"));
  EXPECT_FALSE(ClipboardAppendf(&c, "%s\t%s\r\n", "1332", "日本水産長い"));  // would not fit
  CopyTextToClipboard(c);
  EXPECT_EQ(host.clipboard, "1301\t極洋\r\n");
}

}  // namespace
