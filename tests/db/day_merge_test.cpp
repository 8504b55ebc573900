// Merging a day file into a small fixture database (10 stocks, 20 days ending Wednesday
// 2026-12-09): append, insert, the oldest day shifted out, new listings, splits, refusals.
#include "db/day_merge.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/stock_code.h"
#include "platform/codepage.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/merge_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "platform/hooks.h"

namespace {

constexpr int STOCKS = 10;
constexpr int DAYS = 20;

int g_stored, g_stale, g_finished;

class DayMerge : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    g_stored = g_stale = g_finished = 0;
    RecordMergedHook = [](int, const Hiashi&) { ++g_stored; };
    ScreeningStaleHook = [] { ++g_stale; };
    MergeFinishedHook = [] { ++g_finished; };
  }
  void TearDown() override {
    RecordMergedHook = nullptr;
    ScreeningStaleHook = nullptr;
    MergeFinishedHook = nullptr;
    ResetDatabaseState();
  }
  void Load() { ASSERT_TRUE(LoadMergeFixture()); }
  void Fixture(int days = DAYS) {
    WriteFixtureDatabase(STOCKS, days);
    Load();
  }
  // Merges text as the day file name, answering the questions from the host's script.
  int Merge(const std::string& text, const std::string& name = "y.txt", bool timed = false,
            MergeSummary* sum = nullptr) {
    const std::string path = dir.File(name);
    WriteFileBytes(path, text);
    MergeUi ui;
    ui.timed = timed;
    return MergeDayFilePath(path, &ui, sum);
  }
  std::string Db() { return DatabaseBytes(STOCKS + 1); }
  Hiashi Record(int s) {
    EXPECT_TRUE(VURN_file_in(s, 2));
    return *WorkHiashi();
  }
  TempDir dir;
};

int32_t C(const Hiashi& h, int d) { return Packed_to_Value(h.close[d]); }

TEST_F(DayMerge, AppendsTheNextDayInPlace) {
  Fixture();
  ScriptedHost host;
  host.Answer(IDOK, "データベース更新");
  const std::string size = Db().substr(0, Db().find('|'));
  MergeSummary sum;
  ASSERT_EQ(Merge(DayFileText(20261210, {{0, 2000, 2100, 1900, 2050, "1.001"}, {3, 500, 510, 490, 505, "1234.5"}}),
                  "y.txt", false, &sum),
            1);
  EXPECT_FALSE(sum.rewritten);
  EXPECT_EQ(sum.stocks_merged, 2);
  EXPECT_EQ(LastDate, DAYS + 1);
  EXPECT_EQ(nikkei_date[DAYS], 20261210);
  ASSERT_TRUE(VURN_file_in(-1, 0));
  ASSERT_TRUE(VURN_file_in(-1, 1));
  EXPECT_EQ(LastDate, DAYS + 1);
  Hiashi h = Record(0);
  EXPECT_EQ(h.end, DAYS);
  EXPECT_EQ(C(h, DAYS), 2050);
  EXPECT_EQ(Packed_to_Value(h.open[DAYS]), 2000);
  EXPECT_EQ(Packed_to_Value(h.deki[DAYS]), 1001);  // rounded to the nearest share
  EXPECT_EQ(Packed_to_Value(Record(3).deki[DAYS]), 1234000);
  EXPECT_EQ(Record(5).end, DAYS - 1);  // not in the file: no bar today
  EXPECT_EQ(Db().substr(0, Db().find('|')), size);
  EXPECT_EQ(g_stored, 2);
  EXPECT_EQ(g_finished, 1);
  EXPECT_EQ(g_stale, 0);
}

TEST_F(DayMerge, MondayAfterFridayAsksNoGapQuestionButTuesdayDoes) {
  Fixture();
  ScriptedHost host;
  for (int32_t d : {20261210, 20261211, 20261214}) {
    host.Answer(IDOK, "データベース更新");
    ASSERT_EQ(Merge(DayFileText(d, {{0, 1, 1, 1, 1, "1"}})), 1) << d;
  }
  EXPECT_EQ(host.boxes.size(), 3u);
  // Tuesday after the Friday: 3 days skipped (as if Monday had not been merged).
  ResetDatabaseState();
  Fixture();
  for (int32_t d : {20261210, 20261211}) {
    host.Answer(IDOK);
    ASSERT_EQ(Merge(DayFileText(d, {{0, 1, 1, 1, 1, "1"}})), 1);
  }
  const std::string before = Db();
  host.Answer(IDOK, "データベース更新");
  host.Answer(IDCANCEL, "データベース更新");
  host.Answer(IDOK, "データベース更新");
  EXPECT_EQ(Merge(DayFileText(20261215, {{0, 1, 1, 1, 1, "1"}})), 0);
  ASSERT_GE(host.boxes.size(), 2u);
  const ShownBox& gap = host.boxes[host.boxes.size() - 2];
  EXPECT_NE(gap.text.find("日付が3日飛んでいます"), std::string::npos) << Cp932ToUtf8(gap.text);
  EXPECT_EQ(host.boxes.back().text, "中止しました");
  EXPECT_EQ(Db(), before);
  EXPECT_EQ(g_stale, 0);
}

TEST_F(DayMerge, TimedRunsAskNothingAndShowNoBoxes) {
  Fixture();
  ScriptedHost host;
  ASSERT_EQ(Merge(DayFileText(20261214, {{0, 1, 1, 1, 1, "1"}}), "y.txt", true), 1);  // a gap of 2 days
  EXPECT_EQ(Merge(DayFileText(20261214, {{0, 1, 1, 1, 1, "1"}}), "y.txt", true), 0);  // already there
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_NE(PrtJoined().find("既に20261214の株価はDBに登録されています"), std::string::npos);
}

TEST_F(DayMerge, ZerosFlatBarsAndTheGapSinceALastTrade) {
  Fixture();
  ScriptedHost host;
  host.Answer(IDOK);
  // Stock 1 did not trade (all zero); stock 2 gave only a close; stock 4 is absent.
  ASSERT_EQ(Merge(DayFileText(20261210, {{1, 0, 0, 0, 0, "0"}, {2, 0, 0, 0, 777, "5"}})), 1);
  Hiashi h1 = Record(1);
  EXPECT_EQ(C(h1, DAYS), C(h1, DAYS - 1));
  EXPECT_EQ(Packed_to_Value(h1.open[DAYS]), C(h1, DAYS - 1));
  EXPECT_EQ(h1.deki[DAYS], 0);
  Hiashi h2 = Record(2);
  EXPECT_EQ(Packed_to_Value(h2.open[DAYS]), 777);
  EXPECT_EQ(Packed_to_Value(h2.high[DAYS]), 777);
  EXPECT_EQ(Packed_to_Value(h2.low[DAYS]), 777);
  host.Answer(IDOK);
  ASSERT_EQ(Merge(DayFileText(20261211, {{4, 900, 910, 890, 905, "1"}})), 1);
  Hiashi h4 = Record(4);
  EXPECT_EQ(h4.end, DAYS + 1);
  EXPECT_EQ(C(h4, DAYS), C(h4, DAYS - 1));  // the day it missed takes its last close
  EXPECT_EQ(Packed_to_Value(h4.high[DAYS]), C(h4, DAYS - 1));
  EXPECT_EQ(C(h4, DAYS + 1), 905);
}

TEST_F(DayMerge, InsertsAMissingWednesdayShiftingEveryRecordIntoANewFile) {
  // The calendar lacks Wednesday 2026-12-02; stock records carry margin balances.
  std::vector<int32_t> cal = FixtureCalendar(DAYS + 1);
  const auto wed = std::find(cal.begin(), cal.end(), 20261202);
  ASSERT_NE(wed, cal.end());
  const int pos = static_cast<int>(wed - cal.begin());
  cal.erase(wed);
  WriteMergeFixture(STOCKS, cal);
  Load();
  const Hiashi before = Record(5);
  ScriptedHost host;
  host.Answer(IDOK, "データベースへの途中追加");
  MergeSummary sum;
  ASSERT_EQ(Merge(DayFileText(20261202, {{0, 3000, 3100, 2900, 3050, "2"}}), "y.txt", false, &sum), 1);
  EXPECT_TRUE(sum.inserted);
  EXPECT_TRUE(sum.rewritten);
  EXPECT_EQ(LastDate, DAYS + 1);
  EXPECT_EQ(nikkei_date[pos], 20261202);
  EXPECT_EQ(nikkei_date[pos + 1], cal[static_cast<size_t>(pos)]);
  Hiashi h0 = Record(0);
  EXPECT_EQ(C(h0, pos), 3050);
  EXPECT_EQ(h0.margin_buy[pos], 0);
  EXPECT_EQ(h0.end, DAYS);
  // A stock without a line: later days (margin balances too) move one day later, the new
  // day is repaired from the day before (no zero close inside the range).
  Hiashi h5 = Record(5);
  EXPECT_EQ(h5.end, DAYS);
  for (int d = pos; d < DAYS; ++d) {
    EXPECT_EQ(h5.close[d + 1], before.close[d]) << d;
    EXPECT_EQ(h5.margin_sell[d + 1], before.margin_sell[d]) << d;
    EXPECT_EQ(h5.margin_buy[d + 1], before.margin_buy[d]) << d;
  }
  EXPECT_EQ(h5.close[pos], before.close[pos - 1]);
  EXPECT_EQ(h5.deki[pos], 0);
  EXPECT_EQ(h5.margin_buy[pos], 0);
  EXPECT_EQ(g_finished, 1);
}

TEST_F(DayMerge, FullCalendarShiftsOutTheOldestDay) {
  Fixture(MAX_DATE);
  const int32_t second = nikkei_date[1];
  const Hiashi before = Record(7);
  ScriptedHost host;
  host.Answer(IDOK);
  MergeSummary sum;
  ASSERT_EQ(Merge(DayFileText(20261210, {{0, 5, 6, 4, 5, "1"}}), "y.txt", false, &sum), 1);
  EXPECT_TRUE(sum.dropped_oldest);
  EXPECT_EQ(LastDate, MAX_DATE);
  EXPECT_EQ(nikkei_date[0], second);
  EXPECT_EQ(nikkei_date[MAX_DATE - 1], 20261210);
  EXPECT_EQ(C(Record(0), MAX_DATE - 1), 5);
  Hiashi h7 = Record(7);
  EXPECT_EQ(h7.close[0], before.close[1]);
  EXPECT_EQ(h7.close[MAX_DATE - 2], before.close[MAX_DATE - 1]);
  EXPECT_EQ(h7.close[MAX_DATE - 1], 0);
  EXPECT_EQ(h7.end, MAX_DATE - 2);
  EXPECT_EQ(Db().rfind(std::to_string(DB_FILE_SIZE) + "|", 0), 0u);
}

TEST_F(DayMerge, FullCalendarRefusesADayBeforeItsFirstDay) {
  Fixture(MAX_DATE);
  const std::string before = Db();
  ScriptedHost host;
  EXPECT_EQ(Merge(DayFileText(20100104, {{0, 5, 6, 4, 5, "1"}})), 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("最初の日より前には挿入できません"), std::string::npos);
  EXPECT_EQ(Db(), before);
}

TEST_F(DayMerge, NewListingsGetTheirFirstBarOnlyWithFourPrices) {
  std::vector<Fundamental> stocks = FixtureStocks(STOCKS);
  stocks[8].flag |= FLAG_NO_PRICES;
  stocks[9].flag |= FLAG_NO_PRICES;
  WriteMergeFixture(stocks, FixtureCalendar(DAYS), {8, 9});
  Load();
  ScriptedHost host;
  host.Answer(IDOK);
  ASSERT_EQ(Merge(DayFileText(20261210, {{8, 0, 0, 0, 0, "0"}, {9, 400, 420, 390, 410, "3"}})), 1);
  EXPECT_NE(PrtJoined().find("株価に0が入。未上場？"), std::string::npos);
  Hiashi h8 = Record(8);
  EXPECT_NE(h8.flag & FLAG_NO_PRICES, 0);
  EXPECT_EQ(h8.close[DAYS], 0);
  Hiashi h9 = Record(9);
  EXPECT_EQ(h9.start, DAYS);
  EXPECT_EQ(h9.end, DAYS);
  EXPECT_EQ(C(h9, DAYS), 410);
  EXPECT_EQ(h9.flag & FLAG_NO_PRICES, 0);
  EXPECT_EQ(fundamental[9].flag & FLAG_NO_PRICES, 0);
  EXPECT_NE(fundamental[8].flag & FLAG_NO_PRICES, 0);
}

TEST_F(DayMerge, ASplitHalvesThePastPricesOnlyWithAClose) {
  Fixture();
  const Hiashi before = Record(2);
  ScriptedHost host;
  host.Answer(IDOK);
  MergeSummary sum;
  ASSERT_EQ(Merge(DayFileText(20261210, {{2, 520, 530, 510, 525, "10", "100"}, {3, 0, 0, 0, 0, "0", "100"}}),
                  "y.txt", false, &sum),
            1);
  EXPECT_TRUE(sum.rewritten);
  Hiashi h2 = Record(2);
  for (int d = 0; d < DAYS; ++d) EXPECT_EQ(C(h2, d), C(before, d) / 2) << d;
  EXPECT_EQ(C(h2, DAYS), 525);
  EXPECT_EQ(h2.deki[5], before.deki[5]);  // volumes stay
  // Stock 3 did not trade: its split is not applied.
  Hiashi h3 = Record(3);
  EXPECT_EQ(C(h3, 0), 1030);
  EXPECT_NE(PrtJoined().find("の分割(100%)は使いません"), std::string::npos);
}

// A price or volume a packed value cannot hold leaves its stock without a bar today, logged;
// the other lines merge.
TEST_F(DayMerge, ALineBeyondThePackedRangeIsLeftOut) {
  Fixture();
  ScriptedHost host;
  host.Answer(IDOK, "データベース更新");
  const int64_t big = 2147483648LL;
  ASSERT_EQ(Merge(DayFileText(20261210, {{0, big, big, big, big, "1"},
                                         {1, 500, 510, 490, 505, "1"},
                                         {2, 500, 510, 490, 505, "3000000"}})),
            1);
  EXPECT_EQ(Record(0).end, DAYS - 1);
  EXPECT_EQ(C(Record(0), DAYS - 1), 1000 + DAYS - 1);
  EXPECT_EQ(C(Record(1), DAYS), 505);
  EXPECT_EQ(Record(2).end, DAYS - 1);  // three billion shares
  EXPECT_NE(PrtJoined().find("2 行目 "), std::string::npos);
  EXPECT_NE(PrtJoined().find("4 行目 "), std::string::npos);
}

TEST_F(DayMerge, RefusalsLeaveTheDatabaseAsItWas) {
  Fixture();
  const std::string before = Db();
  struct Case {
    const char* what;
    std::string text;
    const char* expected;
    bool asks = false;  // refused after the question of the append
  } cases[] = {
      {"bad line", "20261210\n7000 a 1 2 1 2 3\n7001 b 1 2 1 2 1,234\n", "の 3 行目"},
      {"already there", DayFileText(20261209, {{0, 1, 1, 1, 1, "1"}}), "既に20261209の株価は"},
      {"saturday", DayFileText(20261212, {{0, 1, 1, 1, 1, "1"}}), "t2が土日"},
      {"out of range", DayFileText(21000104, {{0, 1, 1, 1, 1, "1"}}), "日付の範囲が不正です"},
      {"no stock of ours", "20261210\n1301 x 1 2 1 2 3\n", "株価が1つもありません"},
      {"100 million yen", DayFileText(20261210, {{0, 150000000, 150000000, 150000000, 150000000, "1"}}),
       "株価が1億?!", true},
      // Splits out of 1:1000 .. 1000:1 or below one percent, named by their line.
      {"split typo", DayFileText(20261210, {{0, 1, 1, 1, 1, "1"}, {2, 100, 100, 100, 100, "1", "999999999"}}),
       "3 行目: 分割 1e+09 % は使えません", true},
      {"split of a millionth", DayFileText(20261210, {{2, 520, 530, 510, 525, "1", "0.000001"}}), "2 行目: 分割 1e-06 %",
       true},
      {"split above 1:1000", DayFileText(20261210, {{2, 520, 530, 510, 525, "1", "99901"}}), "2 行目: 分割 99901 %", true},
  };
  for (const Case& c : cases) {
    ScriptedHost host;
    if (c.asks) host.Answer(IDOK);
    EXPECT_EQ(Merge(c.text), 0) << c.what;
    ASSERT_FALSE(host.boxes.empty()) << c.what;
    EXPECT_NE(host.boxes.back().text.find(c.expected), std::string::npos)
        << c.what << ": " << Cp932ToUtf8(host.boxes.back().text);
    EXPECT_EQ(Db(), before) << c.what;
    EXPECT_EQ(LastDate, DAYS) << c.what;
  }
  EXPECT_EQ(g_stored, 0);
  EXPECT_EQ(g_finished, 0);
}

// 1:1000 is within the range, but it would take yesterday's price of 1 yen to 0.
TEST_F(DayMerge, ASplitThatWouldTakeAPastPriceToZeroIsRefused) {
  Fixture();
  ScriptedHost host;
  host.Answer(IDOK, "データベース更新");
  ASSERT_EQ(Merge(DayFileText(20261210, {{2, 1, 1, 1, 1, "1"}})), 1);
  const std::string before = Db();
  host.Answer(IDOK, "データベース更新");
  EXPECT_EQ(Merge(DayFileText(20261211, {{2, 1, 1, 1, 1, "1", "99900"}})), 0);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_NE(host.boxes.back().text.find("2 行目: 分割 99900 % は使えません。過去の株価が 0 になります"), std::string::npos)
      << Cp932ToUtf8(host.boxes.back().text);
  EXPECT_EQ(Db(), before);
}

TEST_F(DayMerge, TheCheckPassChangesNothing) {
  Fixture();
  const std::string before = Db();
  const int32_t flag = fundamental[0].flag;
  ScriptedHost host;
  host.Answer(IDCANCEL, "データベース更新");
  host.Answer(IDOK, "データベース更新");
  EXPECT_EQ(Merge(DayFileText(20261210, {{0, 1, 1, 1, 1, "1"}})), 0);
  EXPECT_EQ(Db(), before);
  EXPECT_EQ(LastDate, DAYS);
  EXPECT_EQ(fundamental[0].flag, flag);
  EXPECT_EQ(g_stored, 0);
}

TEST_F(DayMerge, AnEmptyCalendarTakesItsFirstDay) {
  Fixture(0);
  ScriptedHost host;
  host.Answer(IDOK);
  ASSERT_EQ(Merge(DayFileText(20261210, {{0, 10, 12, 9, 11, "1"}})), 1);
  EXPECT_EQ(LastDate, 1);
  Hiashi h = Record(0);
  EXPECT_EQ(h.start, 0);
  EXPECT_EQ(h.end, 0);
  EXPECT_EQ(C(h, 0), 11);
}

// The update lock is held from the first read of the header to the last write.
TEST_F(DayMerge, TheUpdateLockIsHeldThroughBothPasses) {
  Fixture();
  struct LockWatch final : MergeUi {
    int checks = 0, unlocked = 0;
    void Look() {
      ++checks;
      unlocked += DatabaseLocked() ? 0 : 1;
    }
    int Box(const char*, const char*, unsigned) override {
      Look();
      return IDOK;
    }
    void ProgressStock(int, int, const char*, const char*) override { Look(); }
  } ui;
  WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, {{0, 1, 1, 1, 1, "1"}, {6, 2, 2, 2, 2, "1"}}));
  ASSERT_EQ(MergeDayFilePath(dir.File("y.txt"), &ui), 1);
  EXPECT_EQ(ui.checks, 5);  // the question, two stocks in each pass
  EXPECT_EQ(ui.unlocked, 0);
  EXPECT_FALSE(DatabaseLocked());
}

}  // namespace
