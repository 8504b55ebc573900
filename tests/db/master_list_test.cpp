// A new master edition from the list of listed issues: the table, the mappings and the
// edition's rules (stable numbers, appended codes, delisting, index entries kept).
#include "db/master_list.h"

#include <gtest/gtest.h>

#include <cstring>

#include "db/stock_code.h"
#include "platform/codepage.h"

namespace {

// The list's headings in its own order, then rows.
const char* kHeadings =
    "日付,コード,銘柄名,市場・商品区分,33業種コード,33業種区分,17業種コード,17業種区分,規模コード,規模区分\n";

Fundamental Entry(int32_t code, const char* name, int32_t flag, int market = 1) {
  Fundamental f{};
  f.code = code;
  Cp932CopyTruncated(f.name, sizeof f.name, name);
  Cp932CopyTruncated(f.company, sizeof f.company, "株式会社テスト");
  f.market = static_cast<int8_t>(market);
  f.tani = 100;
  f.per_coef = 0.05;
  f.flag = flag;
  return f;
}

TEST(MasterList, CsvInEitherEncodingGivesTheSameTable) {
  const std::string cp932 = std::string(kHeadings) +
                            "20261130,7203,トヨタ自動車,プライム（内国株式）,3700,輸送用機器,6,\"自動車・輸送機\",1,TOPIX Core30\r\n"
                            "20261130,130A,\"Veritas, In Silico\",グロース（内国株式）,5250,情報・通信業,10,x,-,-\n";
  const std::string utf8 = "\xEF\xBB\xBF" + Cp932ToUtf8(cp932);
  for (const std::string& bytes : {cp932, utf8}) {
    const TextTable t = ParseCsvTable(bytes);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0][1], "コード");
    EXPECT_EQ(t[1][2], "トヨタ自動車");
    EXPECT_EQ(t[2][2], "Veritas, In Silico");
    EXPECT_EQ(t[2].size(), 10u);
  }
}

TEST(MasterList, ColumnsAreFoundByTheirHeadings) {
  // Columns in another order, the unit given, a blank row, a row without a code.
  TextTable t = {{"銘柄名", "売買単位", "コード", "日付", "市場・商品区分", "33業種区分"},
                 {"トヨタ自動車", "100", "7203.0", "20261130", "プライム（内国株式）", "輸送用機器"},
                 {"", "", "", "", "", ""},
                 {"謎", "", "ABCD", "20261130", "", ""},
                 {"小さな会社", "1", "9999", "20261130", "スタンダード（内国株式）", "-"}};
  ListedIssueList list;
  std::string error;
  ASSERT_TRUE(ReadListedIssues(t, &list, &error));
  EXPECT_EQ(list.date, 20261130);
  ASSERT_EQ(list.issues.size(), 2u);
  EXPECT_EQ(list.issues[0].code, 7203);
  EXPECT_EQ(list.issues[0].tani, 100);
  EXPECT_EQ(list.issues[1].tani, 1);
  EXPECT_EQ(list.problems.size(), 1u);  // ABCD is no code

  for (const TextTable& bad : {TextTable{}, TextTable{{"名前", "コード"}, {"x", "7203"}},
                               ParseCsvTable("<html><body>not found</body></html>")}) {
    EXPECT_FALSE(ReadListedIssues(bad, &list, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(MasterList, SegmentsAndIndustries) {
  struct {
    const char* segment;
    int market;
    bool known;
  } segments[] = {
      {"プライム（内国株式）", 1, true},   {"プライム（外国株式）", 1, true},
      {"スタンダード（内国株式）", 2, true}, {"グロース（外国株式）", 3, true},
      {"ETF・ETN", 4, true},                {"REIT・ベンチャーファンド・カントリーファンド・インフラファンド", 4, true},
      {"PRO Market", 0, true},              {"出資証券", 0, true},
      {"新市場（仮）", 0, false},            {"", 0, false},
  };
  for (const auto& c : segments) {
    bool known = false;
    EXPECT_EQ(MarketOfSegment(c.segment, &known), c.market) << Cp932ToUtf8(c.segment);
    EXPECT_EQ(known, c.known) << Cp932ToUtf8(c.segment);
  }
  struct {
    const char* name;
    const char* ours;  // nullptr: unknown; "" none
  } industries[] = {
      {"輸送用機器", "輸送用機器"}, {"情報・通信業", "情報・通信"}, {"証券、商品先物取引業", "証券業"},
      {"水産・農林業", "水産・農林業"}, {"倉庫・運輸関連業", "倉庫・運輸関連業"}, {"-", ""},
      {"宇宙産業", nullptr},
  };
  for (const auto& c : industries) {
    const int i = IndustryOfListName(c.name);
    if (!c.ours) EXPECT_EQ(i, -1) << Cp932ToUtf8(c.name);
    else if (!*c.ours) EXPECT_EQ(i, -2);
    else {
      ASSERT_GE(i, 0) << Cp932ToUtf8(c.name);
      EXPECT_STREQ(IndustryName[i], c.ours);
    }
  }
}

TEST(MasterList, EditionKeepsNumbersAppendsAndDelists) {
  const Fundamental current[] = {
      Entry(1001, "日経平均", FLAG_INDEX, 0),
      Entry(7203, "トヨタ", FLAG_DAILY_DOWNLOAD),
      Entry(6758, "ソニー", FLAG_DAILY_DOWNLOAD),
      Entry(8301, "日本銀行", FLAG_DELISTED),  // delisted before, listed again
  };
  const std::string long_name(40, 'N');
  const TextTable t = ParseCsvTable(
      std::string(kHeadings) +
      "20261201,8301,日本銀行,出資証券,-,-,-,-,-,-\n"
      "20261201,7203,トヨタ自動車,プライム（内国株式）,3700,輸送用機器,6,x,1,y\n"
      "20261201,130A,ヴェリタス,グロース（内国株式）,5250,情報・通信業,10,x,-,-\n"
      "20261201,9999," + long_name + ",謎の市場,9999,宇宙産業,-,-,-,-\n");
  ListedIssueList list;
  std::string error;
  ASSERT_TRUE(ReadListedIssues(t, &list, &error));
  std::vector<Fundamental> e;
  EditionSummary s;
  ASSERT_TRUE(MakeMasterEdition(current, 4, list, &e, &s, &error));
  ASSERT_EQ(e.size(), 6u);
  // The index entry is untouched; existing stocks keep their numbers and other fields.
  EXPECT_EQ(std::memcmp(&e[0], &current[0], sizeof(Fundamental)), 0);
  EXPECT_EQ(e[1].code, 7203);
  EXPECT_STREQ(e[1].name, "トヨタ自動車");
  EXPECT_STREQ(e[1].company, "株式会社テスト");
  EXPECT_STREQ(e[1].industry, "輸送用機器");
  EXPECT_DOUBLE_EQ(e[1].per_coef, 0.05);
  // Sony is missing from the list: delisted, out of the daily download.
  EXPECT_EQ(e[2].flag, FLAG_DELISTED);
  EXPECT_EQ(s.delisted, std::vector<int32_t>{6758});
  EXPECT_EQ(e[3].flag, FLAG_DAILY_DOWNLOAD);
  // New codes appended in the list's order, alphanumeric included.
  EXPECT_EQ(e[4].code, String_to_Code("130A"));
  EXPECT_STREQ(e[4].industry, "情報・通信");
  EXPECT_EQ(e[4].market, 3);
  EXPECT_EQ(e[4].tani, 100);
  EXPECT_EQ(e[4].flag, FLAG_NO_PRICES | FLAG_DAILY_DOWNLOAD);
  EXPECT_EQ(e[5].code, 9999);
  EXPECT_EQ(std::strlen(e[5].name), 31u);
  EXPECT_EQ(e[5].market, 0);
  EXPECT_STREQ(e[5].industry, "");
  EXPECT_EQ(s.added.size(), 2u);
  EXPECT_EQ(s.warnings.size(), 2u);  // the unknown market, the unknown industry

  // A second edition of the same list changes nothing more.
  std::vector<Fundamental> again;
  EditionSummary s2;
  ASSERT_TRUE(MakeMasterEdition(e.data(), static_cast<int>(e.size()), list, &again, &s2, &error));
  EXPECT_EQ(again.size(), e.size());
  EXPECT_TRUE(s2.added.empty());
  EXPECT_TRUE(s2.changed.empty());
  EXPECT_TRUE(s2.delisted.empty());  // Sony stays delisted without being counted again
  EXPECT_EQ(std::memcmp(again.data(), e.data(), e.size() * sizeof(Fundamental)), 0);
}

TEST(MasterList, WhatTheListDoesNotGiveIsKept) {
  // A list without 市場・商品区分 or 売買単位, an empty segment cell, and stocks of the
  // regional exchanges, which the exchange's list never carries.
  Fundamental tse = Entry(7203, "トヨタ", FLAG_DAILY_DOWNLOAD, 1);
  tse.tani = 1;
  const Fundamental current[] = {
      tse, Entry(6758, "ソニー", FLAG_DAILY_DOWNLOAD, 3), Entry(8302, "名証の会社", FLAG_DAILY_DOWNLOAD, 6),
      Entry(8303, "福証の会社", FLAG_DAILY_DOWNLOAD, 8), Entry(8304, "札証の会社", FLAG_DAILY_DOWNLOAD, 9),
      Entry(8305, "廃止の会社", FLAG_DAILY_DOWNLOAD, 2),
  };
  ListedIssueList list;
  std::string error;
  ASSERT_TRUE(ReadListedIssues({{"コード", "銘柄名"}, {"7203", "トヨタ自動車"}, {"6758", "ソニーG"}}, &list, &error))
      << error;
  std::vector<Fundamental> e;
  EditionSummary s;
  ASSERT_TRUE(MakeMasterEdition(current, 6, list, &e, &s, &error));
  EXPECT_EQ(e[0].market, 1);
  EXPECT_EQ(e[0].tani, 1);
  EXPECT_EQ(e[1].market, 3);
  EXPECT_STREQ(e[1].name, "ソニーG");
  for (int n = 2; n <= 4; ++n) EXPECT_EQ(std::memcmp(&e[n], &current[n], sizeof(Fundamental)), 0) << n;
  EXPECT_EQ(s.delisted, std::vector<int32_t>{8305});
  EXPECT_EQ(s.listed, 3);  // the regional stocks are not the list's to delist

  ASSERT_TRUE(ReadListedIssues({{"コード", "銘柄名", "市場・商品区分"}, {"7203", "トヨタ自動車", ""}}, &list, &error));
  ASSERT_TRUE(MakeMasterEdition(current, 1, list, &e, &s, &error));
  EXPECT_EQ(e[0].market, 1);
  EXPECT_TRUE(s.warnings.empty());

  EXPECT_EQ(DelistLimit(0), 50);
  EXPECT_EQ(DelistLimit(1000), 50);
  EXPECT_EQ(DelistLimit(3000), 150);
  EXPECT_EQ(DelistLimit(3001), 151);
}

TEST(MasterList, NamesAreCutAtACharacterBoundary) {
  // 16 double-byte characters are 32 bytes: the name field keeps 15 of them.
  const std::string name = "あいうえおかきくけこさしすせそた";
  const TextTable t = {{"コード", "銘柄名"}, {"1234", name}};
  ListedIssueList list;
  std::string error;
  ASSERT_TRUE(ReadListedIssues(t, &list, &error));
  std::vector<Fundamental> e;
  EditionSummary s;
  ASSERT_TRUE(MakeMasterEdition(nullptr, 0, list, &e, &s, &error));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(std::strlen(e[0].name), 30u);
  EXPECT_EQ(std::string(e[0].name), name.substr(0, 30));
}

}  // namespace
