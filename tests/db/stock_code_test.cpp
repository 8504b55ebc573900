#include "db/stock_code.h"

#include <gtest/gtest.h>

#include <string>

#include "db/price_model.h"

namespace {

TEST(StockCode, TextFormsBothWays) {
  struct Case {
    int32_t code;
    const char* text;
  } cases[] = {{7203, "7203"}, {5, "0005"},    {0, "0000"},    {10000, "130A"}, {10001, "131A"},
               {10870, "130C"}, {26529, "999Y"}, {26530, "1A00"}, {26631, "2A01"}, {43629, "9Y99"}};
  for (const Case& c : cases) {
    EXPECT_STREQ(Code_to_String(c.code), c.text) << c.code;
    EXPECT_EQ(String_to_Code(c.text), c.code) << c.text;
  }
  EXPECT_EQ(String_to_Code("130a"), 10000);
  EXPECT_EQ(String_to_Code("1a00"), 26530);
}

TEST(StockCode, TextsThatAreNotCodes) {
  for (const char* t : {"12345", "AB12", "A123", "12B4", "130B", "", "123", "1B00", "12A4"})
    EXPECT_EQ(String_to_Code(t), 0) << t;
  // No range test on the three digits before a final letter.
  EXPECT_EQ(String_to_Code("001A"), 9871);
}

TEST(StockCode, SecondCallDoesNotOverwriteFirst) {
  CodeText a = Code_to_String(7203);
  CodeText b = Code_to_String(10000);
  EXPECT_STREQ(a, "7203");
  EXPECT_STREQ(b, "130A");
}

TEST(StockCode, LookupAndCodeOrder) {
  LastKabu = 0;
  MakeCodeOrder();
  EXPECT_EQ(Code_to_StockNum(7203), -1);

  const int32_t codes[] = {7203, 1001, 10000 /*130A*/, 1301, 9984, 1300, 7203};
  LastKabu = 7;
  for (int i = 0; i < LastKabu; ++i) fundamental[i].code = codes[i];
  EXPECT_EQ(Code_to_StockNum(7203), 0);  // first match wins
  EXPECT_EQ(Code_to_StockNum(9984), 4);
  EXPECT_EQ(Code_to_StockNum(4), -1);

  MakeCodeOrder();
  // Sorted by code text: 1001, 1300, 1301, then 130A after the four-digit codes of 130x.
  const int expected_order[] = {1, 5, 3, 2, 0, 6, 4};
  for (int k = 0; k < LastKabu; ++k) EXPECT_EQ(CodeOrder[k][1], expected_order[k]) << k;
  for (int k = 0; k < LastKabu; ++k) EXPECT_EQ(CodeOrder[CodeOrder[k][1]][0], k);
  LastKabu = 0;
}

TEST(StockCodeDeathTest, CodeAboveRangeStops) {
  EXPECT_EXIT(Code_to_String(43630), ::testing::ExitedWithCode(1), "undefined code=43630");
}

}  // namespace
