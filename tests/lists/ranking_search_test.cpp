#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/ranking.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "lists/stock_search.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"

namespace {

uint16_t P(int v) { return Value_to_Packed(v); }

class Ranking : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    std::memset(fundamental, 0, sizeof fundamental);
    std::memset(pht, 0, sizeof pht);
    std::memset(pht_value, 0, sizeof pht_value);
    LastKabu = 5;
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = 1301 + s;
      fundamental[s].tani = 100;
      fundamental[s].market = 1;
      std::snprintf(fundamental[s].name, sizeof fundamental[s].name, "銘柄%d", s);
      for (int w = 0; w < PHT_DAYS; ++w) pht[s].close[w] = pht[s].high[w] = pht[s].low[w] = P(500);
    }
  }
  void TearDown() override { LastKabu = 0; }
};

TEST_F(Ranking, RiseRateWithTiesAndFormatting) {
  pht[0].close[49] = P(550);  // +10 %
  pht[1].close[49] = P(550);  // +10 %, tie
  pht[2].close[49] = P(525);  // +5 %
  pht[3].close[48] = 0;       // no previous close: 0
  const auto rows = MakeJuniRows(0, 0, 1, JUNI_TOP);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].no, "1");
  EXPECT_EQ(rows[0].percent, "   10.00");
  EXPECT_EQ(rows[0].code, "1301");
  EXPECT_EQ(rows[1].no, "--");
  EXPECT_EQ(rows[2].no, "3");
  EXPECT_EQ(rows[2].percent, "    5.00");
  EXPECT_EQ(rows[2].name, "銘柄2");

  const auto bottom = MakeJuniRows(0, 0, 1, JUNI_BOTTOM);
  EXPECT_EQ(bottom.back().code, "1302");  // the tie keeps table order at the end too
  EXPECT_EQ(bottom[0].percent, "    0.00");
}

TEST_F(Ranking, NoKeyListsTableOrderAndFiltersApply) {
  fundamental[1].market = 2;
  std::strcpy(fundamental[2].industry, "銀行業");
  fundamental[3].market = 2;
  std::strcpy(fundamental[3].industry, "銀行業");
  const auto rows = MakeJuniRows(0, 0, 0, JUNI_TOP);  // key 0 forces "---"
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].no, "--");
  EXPECT_EQ(rows[0].percent, "----");
  EXPECT_EQ(rows[4].code, "1305");
  const auto banks_on_2 = MakeJuniRows(2, 13, 0, JUNI_NONE);
  ASSERT_EQ(banks_on_2.size(), 1u);
  EXPECT_EQ(banks_on_2[0].stock_num, 3);
}

TEST_F(Ranking, VolumeAndAmountUnitsAndIndicesLeftOut) {
  fundamental[0].code = 1001;  // an index: left out of keys 2 to 5
  fundamental[1].tani = 1;
  pht[1].volume[49] = P(250000000);  // packed keeps four digits: 250,000,000
  fundamental[2].tani = 1;
  pht[2].volume[49] = P(2500000);
  fundamental[3].tani = 1;
  pht[3].volume[49] = P(80000);
  const auto rows = MakeJuniRows(0, 0, 3, JUNI_TOP);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].percent, "250百万株");
  EXPECT_EQ(rows[1].percent, "2,500千株");
  EXPECT_EQ(rows[2].percent, "80,000株");
  EXPECT_EQ(FormatJuniKey(4, 123456), "12億円");
  EXPECT_EQ(FormatJuniKey(4, 99999), "99,999万円");
  EXPECT_EQ(FormatJuniKey(3, 99999), "99,999株");
}

TEST_F(Ranking, RangeRateAndMarginRatio) {
  for (int w = 45; w <= 49; ++w) pht[0].high[w] = P(600), pht[0].low[w] = P(400);
  EXPECT_EQ(JuniKey(10, 0), 0);  // equal closes: 0 whatever the range
  pht[0].close[49] = P(400);
  EXPECT_NEAR(JuniKey(10, 0), 100 * (4 * 0.4 + 0.5) / 5, 1e-9);
  EXPECT_EQ(JuniKey(11, 1), -1);  // no margin balance
  pht[1].margin_buy[30] = P(300);
  EXPECT_EQ(JuniKey(11, 1), 0);   // no sell balance there
  pht[1].margin_sell[30] = P(100);
  EXPECT_EQ(JuniKey(11, 1), 3);
  const auto rows = MakeJuniRows(0, 0, 11, JUNI_TOP);
  EXPECT_EQ(rows[0].stock_num, 1);
  EXPECT_EQ(rows.back().percent, "   -1.00");
}

TEST(StockSearch, HankakuToZenkakuTable) {
  struct {
    const char* in;
    const char* out;
  } const cases[] = {{"ﾄﾖﾀ", "トヨタ"},          {"ｶﾞ", "カ゛"},  {"Abc", "Ａｂｃ"},
                     {"12 3", "１２　３"},       {"\\`", "￥‘"},   {"トヨタ", "トヨタ"},
                     {"a\x01" "b", "ａｂ"}};
  for (const auto& c : cases) {
    char out[ZENKAKU_BYTES];
    HankakuToZenkaku(c.in, out, sizeof out);
    EXPECT_STREQ(out, c.out) << c.in;
  }
  char out[ZENKAKU_BYTES];
  HankakuToZenkaku("ABCDEFGHIJKLMNOPQRST", out, sizeof out);
  EXPECT_EQ(std::strlen(out), 30u);  // 15 double-byte characters
}

TEST(StockSearch, CharacterBoundaries) {
  // "ア" is 0x83 0x41: the half-width "A" (0x41) must not match its second byte.
  EXPECT_FALSE(Cp932Contains("ア", "A"));
  EXPECT_TRUE(Cp932Contains("ABCア", "A"));
  EXPECT_TRUE(Cp932Contains("トヨタ自動車", "自動"));
  EXPECT_FALSE(Cp932Contains("abc", ""));
}

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    ResetDatabaseState();
    const char* names[] = {"トヨタ自動車", "ソニーＧ", "アステラス", "ＡＢＣマート"};
    LastKabu = 4;
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = 7200 + s;
      std::strcpy(fundamental[s].name, names[s]);
    }
    std::strcpy(fundamental[2].company, "アステラス製薬株式会社");
  }
  void TearDown() override { ResetDatabaseState(); }
};

TEST_F(Search, NameSearchHalfAndFullWidth) {
  int hits = 0;
  EXPECT_EQ(NameSearch("ﾄﾖﾀ", &hits), NAME_FOUND);  // half-width katakana
  EXPECT_EQ(hits, 1);
  EXPECT_EQ(KensakuList[0], 0);
  EXPECT_EQ(KensakuList[1], -1);
  EXPECT_EQ(NameSearch("ABC", &hits), NAME_FOUND);  // letters find full-width names
  EXPECT_EQ(KensakuList[0], 3);
  EXPECT_EQ(NameSearch("製薬", &hits), NAME_FOUND);  // the company name counts
  EXPECT_EQ(KensakuList[0], 2);
  EXPECT_EQ(NameSearch("A", &hits), NAME_FOUND);   // full-width Ａ only, never inside "ア"
  EXPECT_EQ(hits, 1);
  EXPECT_EQ(KensakuList[0], 3);
  EXPECT_EQ(NameSearch("ニコン", &hits), NAME_NONE);
  EXPECT_EQ(NameSearch("", &hits), NAME_EMPTY);
  EXPECT_NE(PrtJoined().find("'ﾄﾖﾀ','トヨタ'"), std::string::npos);

  LastKabu = 150;
  for (int s = 0; s < LastKabu; ++s) std::strcpy(fundamental[s].name, "同名");
  EXPECT_EQ(NameSearch("同名", &hits), NAME_TOO_MANY);
  EXPECT_EQ(hits, NAME_SEARCH_MAX);
}

TEST_F(Search, CodeSearchAtTheFourthCharacter) {
  bool done = false;
  EXPECT_EQ(CodeSearchText("720", &done), -1);
  EXPECT_FALSE(done);
  EXPECT_EQ(CodeSearchText("7202", &done), 2);
  EXPECT_TRUE(done);
  EXPECT_EQ(CodeSearchText("9999", &done), -1);
  EXPECT_TRUE(done);
  EXPECT_NE(PrtJoined().find("その銘柄コード(9999)は存在しません"), std::string::npos);
  EXPECT_EQ(CodeSearchText("72x2", &done), -1);
  EXPECT_TRUE(done);
  EXPECT_NE(PrtJoined().find("その銘柄コード(0)は存在しません"), std::string::npos);
}

}  // namespace
