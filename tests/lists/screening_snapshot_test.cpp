#include "lists/screening_snapshot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "chart/shown_stock.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "platform/diagnostics.h"
#include "platform/file_io.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

bool Exists(const char* name) {
  struct stat st {};
  return ::stat(DataFilePath(name).c_str(), &st) == 0;
}

int32_t Le32(const std::string& b, size_t at) {
  int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

class Snapshot : public ::testing::Test {
 protected:
  // Three fixture stocks over `days` days (close 1000 + 10 n + d on day d, volume
  // 100 (d + 1) shares, trading unit 100), loaded as the program loads them.
  void Load(int days, int stocks = 3) {
    ResetDatabaseState();
    WriteFixtureDatabase(stocks, days);
    ASSERT_NE(LoadTag(), 0);
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    ASSERT_EQ(VURN_file_in(-1, 1), 1);
    fundamental[0].per_coef = 0.01;
    fundamental[0].pbr_coef = 0.001;
    fundamental[0].dividend = 30;
  }
  void SetUp() override {
    ClearPrtHistory();
    fPhtChanged = 0;
  }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir_;
};

TEST_F(Snapshot, BuildsTheWindowFromTheBars) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  ASSERT_EQ(host.wait_texts.size(), 1u);
  EXPECT_NE(host.wait_texts[0].find("日々のデータベースを作成中です。"), std::string::npos);
  const Pht& p = pht[1];
  EXPECT_EQ(p.valid, 1);
  EXPECT_EQ(p.code, FixtureCode(1));
  EXPECT_EQ(p.start, 0);
  EXPECT_EQ(p.end, 49);
  // Position w is day 10 + w.
  EXPECT_EQ(Packed_to_Value(p.close[49]), 1000 + 10 + 59);
  EXPECT_EQ(Packed_to_Value(p.close[0]), 1000 + 10 + 10);
  EXPECT_EQ(Packed_to_Value(p.high[0]), 1022);
  EXPECT_EQ(Packed_to_Value(p.volume[49]), 60);  // 6000 shares / 100
  EXPECT_EQ(p.close5[0], 0);                     // fewer than 1001 days
  // PER = close x factor, PBR likewise, yield = dividend / close.
  EXPECT_DOUBLE_EQ(pht_value[0].per, 1059 * 0.01);
  EXPECT_DOUBLE_EQ(pht_value[0].pbr, 1059 * 0.001);
  EXPECT_DOUBLE_EQ(pht_value[0].yield, 30.0 / 1059);
  // Daily averages of the last P closes (1059, 1058, ...).
  EXPECT_EQ(Packed_to_Value(MoveAveTable[MA_DAILY][0][0]), 1059);
  EXPECT_EQ(Packed_to_Value(MoveAveTable[MA_DAILY][0][4]), 1057);  // period 5
  // Period 105 over 60 days: the sum of 60 closes divided by 105.
  EXPECT_EQ(PeriodLadder[23], 105);
  EXPECT_EQ(Packed_to_Value(MoveAveTable[MA_DAILY][0][23]), (1000 + 1059) * 30 / 105);
  EXPECT_EQ(PeriodLadder[31], 448);
}

TEST_F(Snapshot, ShortHistoriesAndMissingLastDay) {
  ScriptedHost host;
  Load(30);  // fewer days than the window: positions before day 0 stay zero
  ScreeningBuildAll();
  EXPECT_EQ(pht[0].close[19], 0);
  EXPECT_EQ(Packed_to_Value(pht[0].close[20]), 1000);
  EXPECT_EQ(pht[0].start, 20);
  EXPECT_EQ(pht[0].end, 49);

  // A record that ends ten days before the last day: end 39, no valuation.
  static Hiashi h;
  FillFixtureRecord(0, 20, &h);
  BuildPht(0, h);
  EXPECT_EQ(pht[0].end, 39);
  EXPECT_EQ(pht_value[0].per, 0);
  // A record without data: not valid, start and end 0.
  std::memset(&h, 0, sizeof h);
  h.end = -1;
  BuildPht(0, h);
  EXPECT_EQ(pht[0].valid, 0);
  EXPECT_EQ(pht[0].end, 0);
  // A record whose last day lies beyond the calendar is not used.
  FillFixtureRecord(0, 30, &h);
  h.end = 5000;
  BuildPht(0, h);
  EXPECT_EQ(pht[0].valid, 0);
}

TEST_F(Snapshot, LongHistoryFillsEveryFifthAndTwentyFifthClose) {
  ScriptedHost host;
  Load(1200, 1);
  ScreeningBuildAll();
  // close5[i] is day 1200 - 296 + 5 i; close25[i] is day 1200 - 1526 + 25 i (negative: 0).
  EXPECT_EQ(Packed_to_Value(pht[0].close5[0]), 1000 + 904);
  EXPECT_EQ(Packed_to_Value(pht[0].close5[49]), 1000 + 1149);
  EXPECT_EQ(pht[0].close25[13], 0);  // day -1
  EXPECT_EQ(Packed_to_Value(pht[0].close25[14]), 1000 + 24);
}

TEST_F(Snapshot, FileLayoutVersionAndDateChecks) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  ASSERT_EQ(fPhtChanged, 1);
  SavePhtIfChanged();
  EXPECT_EQ(fPhtChanged, 0);
  const std::string file = DataFilePath(PHT_FILE);
  const std::string bytes = ReadFileBytes(file);
  ASSERT_EQ(bytes.size(), 9273356u);
  EXPECT_EQ(Le32(bytes, 0), 7);
  EXPECT_EQ(Le32(bytes, 4), nikkei_date[59]);
  EXPECT_EQ(Le32(bytes, 8), 0);
  // Record 2 read by offset: its code at 900 + 4 and end at 912.
  EXPECT_EQ(Le32(bytes, 12 + 2 * 916 + 904), FixtureCode(2));
  EXPECT_EQ(Le32(bytes, 12 + 2 * 916 + 912), 49);
  double per;
  std::memcpy(&per, bytes.data() + 7503884, 8);
  EXPECT_DOUBLE_EQ(per, pht_value[0].per);
  uint16_t ma;
  std::memcpy(&ma, bytes.data() + 7700492 + 4 * 2, 2);  // daily, stock 0, period 5
  EXPECT_EQ(ma, MoveAveTable[MA_DAILY][0][4]);

  // A current file is used as it stands: no wait dialog.
  static Pht saved[3];
  std::memcpy(saved, pht, sizeof saved);
  std::memset(pht, 0, sizeof pht);
  ScreeningBuildAll();
  EXPECT_EQ(host.wait_texts.size(), 1u);
  EXPECT_EQ(std::memcmp(saved, pht, sizeof saved), 0);
  EXPECT_EQ(fPhtChanged, 0);

  // Another version, another last day, another sample flag, a wrong size: rebuilt.
  struct Case {
    const char* what;
    size_t at;
    int32_t value;
    bool truncate;
  } const cases[] = {{"version", 0, 6, false}, {"date", 4, 20200101, false}, {"sample", 8, 1, false},
                     {"size", 0, 7, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string b = bytes;
    std::memcpy(b.data() + c.at, &c.value, 4);
    if (c.truncate) b.resize(b.size() - 1);
    WriteFileBytes(file, b);
    const size_t waits = host.wait_texts.size();
    ScreeningBuildAll();
    EXPECT_EQ(host.wait_texts.size(), waits + 1);
    EXPECT_EQ(fPhtChanged, 1);
    EXPECT_FALSE(Exists(PHT_FILE));  // stale from the first change on
    EXPECT_EQ(std::memcmp(saved, pht, sizeof saved), 0);
    fPhtChanged = 0;
  }
}

TEST_F(Snapshot, SlotsOfOtherStocksAndBadRangesAreRebuilt) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  pht[1].code = 4242;   // built for another stock
  pht[2].start = 60;    // outside the window
  SavePhtFile();
  std::memset(pht, 0, sizeof pht);
  ScreeningBuildAll();
  EXPECT_EQ(host.wait_texts.size(), 1u);
  EXPECT_EQ(pht[1].code, FixtureCode(1));
  EXPECT_EQ(pht[1].end, 49);
  EXPECT_NE(PrtJoined().find("pht->start,endの範囲が変"), std::string::npos);
  EXPECT_EQ(pht[2].start, 0);
  EXPECT_EQ(pht[2].end, 0);
  EXPECT_EQ(pht[2].close[49], 0);
}

TEST_F(Snapshot, RebuildAndRefreshLeaveTheWorkRecordAlone) {
  ScriptedHost host;
  Load(60);
  DispNum = 2;
  ASSERT_EQ(VURN_file_in(2, 2), 1);
  static Hiashi before;
  std::memcpy(&before, WorkHiashi(), sizeof before);
  RebuildAllPht(true);
  EXPECT_TRUE(RefreshPhtStock(0));
  EXPECT_EQ(std::memcmp(&before, WorkHiashi(), sizeof before), 0);
  DispNum = 0;
}

TEST_F(Snapshot, RefreshAfterAChangedRecord) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  SavePhtFile();
  const unsigned generation = PhtGeneration;
  // The record of stock 1 changes on disk (a back-fill): its refresh reads it again.
  DbImage image;
  std::vector<int32_t> dates(nikkei_date, nikkei_date + MAX_DATE);
  image.header.last_date = 60;
  image.header.last_kabu = 3;
  image.dates = dates.data();
  image.filled = 3;
  image.fill = [](int n, Hiashi* h) {
    FillFixtureRecord(n, 60, h);
    if (n == 1) h->close[59] = Value_to_Packed(5000);
  };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(DB_FILE), image), 0);
  EXPECT_TRUE(RefreshPhtStock(1));
  EXPECT_EQ(PhtLatestClose(1), 5000);
  EXPECT_NE(PhtGeneration, generation);
  EXPECT_EQ(fPhtChanged, 1);
  EXPECT_FALSE(Exists(PHT_FILE));
  EXPECT_TRUE(SavePhtFile());
  EXPECT_TRUE(Exists(PHT_FILE));
}

TEST_F(Snapshot, AfterAMergeEveryStockMovesAndTheFileIsCurrent) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  SavePhtFile();
  // The merge added day 61 for stocks 0 and 2 only; stock 1 had no line in the day file.
  DbImage image;
  std::vector<int32_t> dates = FixtureCalendar(61);
  dates.resize(MAX_DATE, 0);
  image.header.last_date = 61;
  image.header.last_kabu = 3;
  image.dates = dates.data();
  image.filled = 3;
  image.fill = [](int n, Hiashi* h) { FillFixtureRecord(n, n == 1 ? 60 : 61, h); };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(DB_FILE), image), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  RefreshScreeningAfterMerge();
  EXPECT_EQ(PhtLatestClose(0), 1060);
  EXPECT_EQ(pht[0].end, 49);
  EXPECT_EQ(pht[1].end, 48);  // moved too, although it had no line
  EXPECT_EQ(Packed_to_Value(pht[1].close[48]), 1010 + 59);
  EXPECT_EQ(fPhtChanged, 0);
  EXPECT_TRUE(LoadPhtFile());  // written for the new last day
  EXPECT_TRUE(host.wait_texts.size() == 1u);
}

int g_kill_at = -1;
int g_steps = 0;
int KillAtStep(const FileStep&) {
  if (g_steps++ == g_kill_at) _exit(0);
  return 0;
}

TEST_F(Snapshot, KillAtEveryStepOfTheSaveLeavesNoHalfFile) {
  ScriptedHost host;
  Load(60);
  ScreeningBuildAll();
  ASSERT_TRUE(SavePhtFile());
  const std::string old_bytes = ReadFileBytes(DataFilePath(PHT_FILE));
  bool completed = false;
  for (g_kill_at = 0; g_kill_at < 100 && !completed; ++g_kill_at) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      g_steps = 0;
      SetFileStepHook(KillAtStep);
      pht[0].close[49] = Value_to_Packed(4321);
      SavePhtFile();
      _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    completed = WEXITSTATUS(status) == 3;
    const std::string now = ReadFileBytes(DataFilePath(PHT_FILE));
    ASSERT_EQ(now.size(), 9273356u) << "step " << g_kill_at;
    if (!completed) EXPECT_TRUE(now == old_bytes) << "step " << g_kill_at;
  }
  EXPECT_TRUE(completed);
  const std::string final_bytes = ReadFileBytes(DataFilePath(PHT_FILE));
  uint16_t close;
  std::memcpy(&close, final_bytes.data() + 12 + 300 + 2 * 49, 2);
  EXPECT_EQ(Packed_to_Value(close), 4321);
}

}  // namespace
