#include "db/sample_data.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

#include "db/database_check.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

class SampleData : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ASSERT_EQ(WriteSampleData(dir.path()), 0);
  }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir;
};

TEST_F(SampleData, PassesTheCheckAndIsTheSameEveryRun) {
  DbCheckResult result;
  DbInspectError error;
  ASSERT_TRUE(CheckDbFiles(dir.File(SAMPLE_DB_FILE), dir.File(TAG_FILE), &result, &error)) << Cp932ToUtf8(error.text);
  for (const std::string& p : result.problems) ADD_FAILURE() << Cp932ToUtf8(p);
  EXPECT_EQ(result.problem_count, 0);
  EXPECT_EQ(result.records_checked, MAX_KABU);

  TempDir again;
  ASSERT_EQ(WriteSampleData(again.path()), 0);
  EXPECT_EQ(ReadFileBytes(again.File(TAG_FILE)), ReadFileBytes(dir.File(TAG_FILE)));
  const size_t used = static_cast<size_t>(DbRecordOffset(SAMPLE_STOCK_COUNT));
  EXPECT_EQ(ReadFileRange(again.File(SAMPLE_DB_FILE), 0, used), ReadFileRange(dir.File(SAMPLE_DB_FILE), 0, used));
}

TEST_F(SampleData, StocksCalendarAndBars) {
  ASSERT_EQ(LoadTag(), 20261209);
  ASSERT_EQ(LastKabu, 20);
  EXPECT_EQ(fundamental[0].code, 1001);
  EXPECT_STREQ(fundamental[0].name, "日経平均");
  EXPECT_EQ(fundamental[1].code, 1002);
  EXPECT_STREQ(fundamental[1].name, "TOPIX");
  EXPECT_EQ(fundamental[2].code, 1003);
  EXPECT_STREQ(fundamental[2].name, "円ドル");
  std::set<int32_t> codes;
  for (int i = 0; i < 20; ++i) {
    const Fundamental& f = fundamental[i];
    codes.insert(f.code);
    if (i < 3) {
      EXPECT_EQ(f.flag, FLAG_INDEX) << i;
      continue;
    }
    EXPECT_EQ(f.flag, FLAG_DAILY_DOWNLOAD) << i;
    EXPECT_EQ(f.tani, 100) << i;
    EXPECT_STREQ(MarketNameOf(f.market), "東証プライム") << i;
    bool known = false;
    for (const char* name : IndustryName) known |= std::strcmp(name, f.industry) == 0;
    EXPECT_TRUE(known) << Cp932ToUtf8(f.industry);
    EXPECT_GT(std::strlen(f.company), 0u);
  }
  EXPECT_EQ(codes.size(), 20u);
  EXPECT_EQ(fundamental[10].code, 7203);
  EXPECT_STREQ(fundamental[10].name, "トヨタ自動車");
  EXPECT_STREQ(fundamental[10].industry, "輸送用機器");

  // The sample stands in for the missing vurn.hy3.
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  EXPECT_EQ(fSampleDB, 1);
  ASSERT_EQ(LastDate, 2816);
  EXPECT_EQ(nikkei_date[2815], 20261209);
  for (int d = 0; d < LastDate; ++d) {
    const int32_t date = nikkei_date[d];
    const int md = date % 10000;
    ASSERT_FALSE(md == 1231 || md <= 103) << date;
  }

  int listed_later = 0, with_margin = 0, splits = 0;
  for (int n = 0; n < 20; ++n) {
    const Hiashi h = *LoadHiashi(n);
    ASSERT_EQ(h.code, fundamental[n].code);
    EXPECT_EQ(h.end, 2815);
    listed_later += h.start > 0;
    if (h.flag & FLAG_MARGIN) {
      ++with_margin;
      EXPECT_GT(Packed_to_Value(h.margin_buy[2815]), 0) << n;
      EXPECT_GT(Packed_to_Value(h.margin_sell[2815]), 0) << n;
    }
    for (int d = h.start; d <= h.end; ++d) {
      const int32_t o = Packed_to_Value(h.open[d]), hi = Packed_to_Value(h.high[d]), lo = Packed_to_Value(h.low[d]),
                    c = Packed_to_Value(h.close[d]);
      ASSERT_TRUE(lo > 0 && lo <= o && lo <= c && hi >= o && hi >= c) << n << " day " << d;
      if (d > h.start && c * 5 < Packed_to_Value(h.close[d - 1])) ++splits;
    }
  }
  EXPECT_EQ(listed_later, 1);
  EXPECT_GE(with_margin, 3);
  EXPECT_EQ(splits, 1);
  // Levels: the yen-dollar rate in hundredths, the Nikkei average in points.
  const int32_t yen = Packed_to_Value(LoadHiashi(2)->close[2815]);
  EXPECT_TRUE(yen > 9000 && yen < 20000) << yen;
  const int32_t nikkei = Packed_to_Value(LoadHiashi(0)->close[2815]);
  EXPECT_TRUE(nikkei > 30000 && nikkei < 70000) << nikkei;
}

TEST(TradingCalendar, WeekdaysBeforeTheEndWithoutYearEnd) {
  int32_t days[6];
  BuildTradingCalendar(20270106, 6, days);
  EXPECT_EQ(std::vector<int32_t>(days, days + 6),
            (std::vector<int32_t>{20261225, 20261228, 20261229, 20261230, 20270104, 20270105}));
}

}  // namespace
