// Database maintenance: the CSV export, the deletion kinds and the repair after a version
// change, on small fixture databases.
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/csv_export.h"
#include "db/database_check.h"
#include "db/database_file.h"
#include "db/etf_repair.h"
#include "db/maintenance_settings.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_deletion.h"
#include "db/record_io.h"
#include "platform/file_replace.h"
#include "platform/hooks.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

int V(uint16_t p) { return Packed_to_Value(p); }

class Maintenance : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    CsvOut[0] = 0;
    told.clear();
    finished = 0;
    RecordMergedHook = [](int s, const Hiashi&) { told.push_back(s); };
    MergeFinishedHook = [] { ++finished; };
  }
  void TearDown() override {
    RecordMergedHook = nullptr;
    MergeFinishedHook = nullptr;
  }
  void Load(int stocks, int days) {
    WriteFixtureDatabase(stocks, days);
    ASSERT_NE(LoadTag(), 0);
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    ASSERT_EQ(VURN_file_in(-1, 1), 1);
  }
  Hiashi Record(int s) {
    Hiashi h{};
    EXPECT_EQ(ReadRecord(s, &h), 1);
    return h;
  }
  static std::vector<int> told;
  static int finished;
  TempDir dir;
  ScriptedHost host;
};
std::vector<int> Maintenance::told;
int Maintenance::finished;

TEST_F(Maintenance, ExportsTheShownStockOverItsRange) {
  Load(3, 10);
  // Stock 1 holds margin balances and starts on day 2.
  Hiashi h = Record(1);
  h.flag |= FLAG_MARGIN;
  h.start = 2;
  h.margin_buy[2] = Value_to_Packed(500);
  h.margin_sell[2] = Value_to_Packed(600);
  ASSERT_EQ(WriteRecord(1, &h), 1);
  ASSERT_EQ(::mkdir(dir.File("out").c_str(), 0777), 0);
  std::snprintf(CsvOut, sizeof CsvOut, "out");  // a relative folder lies in the working folder

  host.Answer(IDYES, "この銘柄だけを変換しますか？");
  host.Answer(IDCANCEL, "日付範囲の指定");
  host.Answer(IDCANCEL, "出力ディレクトリの指定");
  host.Answer(IDOK, "最終確認");
  host.Answer(IDOK, "変換終了");
  ExportCsv(1);
  const std::string text = ReadFileBytes(dir.File("out/7001.txt"));
  const std::string first_line = text.substr(0, text.find("\r\n") + 2);
  EXPECT_EQ(first_line, std::to_string(nikkei_date[2]) + "\t1011\t1014\t1009\t1012\t300\t500\t600\r\n");
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_NE(text.find(std::to_string(nikkei_date[9]) + "\t1018\t1021\t1016\t1019\t1000\t0\t0\r\n"), std::string::npos);
  EXPECT_EQ(::access(dir.File("out/7000.txt").c_str(), F_OK), -1);
  EXPECT_EQ(host.wait_texts.size(), 1u);

  // A stock without margins has six fields.
  EXPECT_EQ(CsvFileText(Record(0), 0, 0), std::to_string(nikkei_date[0]) + "\t999\t1002\t997\t1000\t100\r\n");
}

TEST_F(Maintenance, ExportsEveryStockAndRefusesAMissingFolderFirst) {
  Load(3, 10);
  std::snprintf(CsvOut, sizeof CsvOut, "%s", dir.File("missing").c_str());
  host.Answer(IDNO);
  host.Answer(IDOK, "全銘柄CSV出力");
  host.Answer(IDCANCEL);
  host.Answer(IDCANCEL);
  host.Answer(IDOK);  // the report
  ExportCsv(0);
  EXPECT_NE(host.boxes.back().text.find("フォルダがありません"), std::string::npos);
  EXPECT_EQ(::access(dir.File("missing").c_str(), F_OK), -1);

  // The folder chosen replaces CsvOut; every stock gets its file.
  ASSERT_EQ(::mkdir(dir.File("all").c_str(), 0777), 0);
  host.Answer(IDNO);
  host.Answer(IDOK);
  host.Answer(IDCANCEL);
  host.Answer(IDOK, "出力ディレクトリの指定");
  host.Choose(dir.File("all"));
  host.Answer(IDOK, "最終確認");
  host.Answer(IDOK, "変換終了");
  ExportCsv(0);
  EXPECT_EQ(std::string(CsvOut), dir.File("all"));
  for (const char* f : {"7000.txt", "7001.txt", "7002.txt"}) EXPECT_EQ(::access(dir.File(std::string("all/") + f).c_str(), F_OK), 0) << f;
}

TEST_F(Maintenance, TheRangeMustBeTradingDaysInOrder) {
  Load(1, 10);
  int f = -1, l = -1;
  EXPECT_TRUE(CheckCsvRange(nikkei_date[2], nikkei_date[5], &f, &l));
  EXPECT_EQ(f, 2);
  EXPECT_EQ(l, 5);
  EXPECT_FALSE(CheckCsvRange(nikkei_date[5], nikkei_date[2], &f, &l));
  EXPECT_FALSE(CheckCsvRange(20261205, nikkei_date[5], &f, &l));  // a Saturday
  EXPECT_EQ(CsvFileText(Record(0), 2, 3), std::to_string(nikkei_date[2]) + "\t1001\t1004\t999\t1002\t300\r\n" +
                                              std::to_string(nikkei_date[3]) + "\t1002\t1005\t1000\t1003\t400\r\n");
}

TEST_F(Maintenance, DeletingOneStockOnOneDayCopiesTheDayBefore) {
  Load(3, 10);
  EXPECT_EQ(DeletePrices(DELETE_ONE_DAY_ONE_STOCK, 0, 1), 0);  // day 0 is never deleted
  ASSERT_EQ(DeletePrices(DELETE_ONE_DAY_ONE_STOCK, 5, 1), 1);
  const Hiashi h = Record(1);
  EXPECT_EQ(V(h.open[5]), 1014);
  EXPECT_EQ(V(h.high[5]), 1014);
  EXPECT_EQ(V(h.close[5]), 1014);
  EXPECT_EQ(V(h.deki[5]), 0);
  EXPECT_EQ(V(h.close[6]), 1016);
  EXPECT_EQ(V(Record(0).close[5]), 1005);
  EXPECT_EQ(LastDate, 10);
  EXPECT_EQ(told, std::vector<int>{1});
  EXPECT_EQ(finished, 1);
}

// A stock listed on day 3: deleting its first day, alone or with every stock's, moves its
// range to day 4 instead of leaving a day without a close inside it; the record stays sound.
TEST_F(Maintenance, DeletingAStocksFirstDayMovesItsRange) {
  for (int kind : {DELETE_ONE_DAY_ONE_STOCK, DELETE_ONE_DAY_ALL_STOCKS}) {
    Load(3, 10);
    Hiashi listed = Record(1);
    for (int d = 0; d < 3; ++d)
      for (uint16_t* a : {listed.open, listed.high, listed.low, listed.close, listed.deki}) a[d] = 0;
    listed.start = 3;
    ASSERT_EQ(WriteRecord(1, &listed), 1);
    ASSERT_EQ(DeletePrices(kind, 3, 1), 1) << kind;
    const Hiashi h = Record(1);
    EXPECT_EQ(h.start, 4) << kind;
    EXPECT_EQ(h.end, 9) << kind;
    EXPECT_EQ(V(h.close[3]), 0) << kind;
    EXPECT_EQ(V(h.close[4]), 1014) << kind;
    std::string why;
    EXPECT_TRUE(RecordIsSound(h, LastDate, &why)) << kind << ": " << why;
    ResetDatabaseState();
  }
}

TEST_F(Maintenance, DeletingAnOlderDayOfAllStocksKeepsTheCalendar) {
  Load(3, 10);
  ASSERT_EQ(DeletePrices(DELETE_ONE_DAY_ALL_STOCKS, 4, 0), 1);
  EXPECT_EQ(LastDate, 10);
  for (int s = 0; s < 3; ++s) {
    const Hiashi h = Record(s);
    EXPECT_EQ(V(h.close[4]), 1003 + 10 * s);
    EXPECT_EQ(V(h.low[4]), 1003 + 10 * s);
    EXPECT_EQ(V(h.deki[4]), 0);
  }
  EXPECT_EQ(told.size(), 3u);
  EXPECT_TRUE(LeftoverTemporaries(DataFilePath(DB_FILE)).empty());
  EXPECT_EQ(host.wait_texts.size(), 1u);
}

TEST_F(Maintenance, DeletingTheLastDayShortensTheCalendarInANewFile) {
  Load(3, 10);
  const int32_t last = nikkei_date[9];
  ASSERT_EQ(DeletePrices(DELETE_ONE_DAY_ALL_STOCKS, 9, 0), 1);
  EXPECT_EQ(LastDate, 9);
  ResetDatabaseState();
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  EXPECT_EQ(LastDate, 9);
  EXPECT_NE(nikkei_date[8], last);
  const Hiashi h = Record(2);
  EXPECT_EQ(h.end, 8);
  Hiashi raw{};
  const std::string bytes = ReadFileRange(DataFilePath(DB_FILE), DbRecordOffset(2), sizeof raw);
  std::memcpy(&raw, bytes.data(), sizeof raw);
  EXPECT_EQ(raw.close[9], 0);
  EXPECT_EQ(raw.deki[9], 0);
  EXPECT_EQ(ReadFileBytes(DataFilePath(DB_FILE)).size(), static_cast<size_t>(DB_FILE_SIZE));
}

TEST_F(Maintenance, DeletingEveryDayOfAStockLeavesCodeNameAndFlag) {
  Load(3, 10);
  ASSERT_EQ(DeletePrices(DELETE_ALL_DAYS_ONE_STOCK, 0, 2), 1);
  const std::string bytes = ReadFileRange(DataFilePath(DB_FILE), DbRecordOffset(2), sizeof(Hiashi));
  Hiashi raw{};
  std::memcpy(&raw, bytes.data(), sizeof raw);
  EXPECT_EQ(raw.code, 7002);
  EXPECT_STREQ(raw.name, fundamental[2].name);
  EXPECT_EQ(raw.flag, fundamental[2].flag);
  EXPECT_EQ(raw.start, 0);
  EXPECT_EQ(raw.end, 0);
  EXPECT_EQ(raw.close[5], 0);
  EXPECT_EQ(V(Record(1).close[5]), 1015);
}

TEST_F(Maintenance, ConfirmationsNeedOkEachTime) {
  Load(3, 10);
  host.Answer(IDOK, "確認");
  EXPECT_EQ(ConfirmDelete(DELETE_ONE_DAY_ONE_STOCK, 5, 1), 1);
  EXPECT_EQ(host.boxes.back().type, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
  host.Answer(IDOK, "確認");
  host.Answer(IDCANCEL, "最終確認");
  EXPECT_EQ(ConfirmDelete(DELETE_ONE_DAY_ALL_STOCKS, 9, 1), 0);
  EXPECT_NE(host.boxes[1].text.find("株価の更新（自動ダウンロード）"), std::string::npos);
  host.Answer(IDOK, "確認");
  host.Answer(IDOK, "最終確認");
  EXPECT_EQ(ConfirmDelete(DELETE_ALL_DAYS_ONE_STOCK, 0, 1), 1);
}

// The repair after a version change: closes equal to the code from 2024-09-02 on.
TEST_F(Maintenance, RepairClearsClosesEqualToTheCodeAndListsNineteen) {
  WriteEtfFaultDatabase(25, 60);
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);

  host.Answer(IDCANCEL, "正しくない株価データを削除しますか？");
  host.Answer(IDOK, "再確認、株価データを削除しますか？");
  host.Answer(IDOK, "修正完了しました");
  EXPECT_EQ(RepairEtfCloses(), 25);
  // Both questions delete prices: Cancel is their default button.
  EXPECT_EQ(host.boxes[0].type & MB_DEFBUTTON2, MB_DEFBUTTON2);
  EXPECT_EQ(host.boxes[1].type & MB_DEFBUTTON2, MB_DEFBUTTON2);
  const std::string& report = host.boxes.back().text;
  EXPECT_EQ(report.rfind("25 銘柄を修正しました。", 0), 0u);
  EXPECT_NE(report.find("1318"), std::string::npos);
  EXPECT_EQ(report.find("1319"), std::string::npos);
  EXPECT_NE(report.find("等\n"), std::string::npos);
  // The wrong day inside the stock's range takes the close of the day before, its volume 0;
  // the record passes its own check.
  const Hiashi h = Record(3);
  EXPECT_EQ(V(h.close[45]), V(h.close[44]));
  EXPECT_EQ(V(h.high[45]), V(h.close[44]));
  EXPECT_EQ(V(h.deki[45]), 0);
  EXPECT_EQ(V(h.margin_buy[45]), 7);
  std::string why;
  EXPECT_TRUE(RecordIsSound(h, LastDate, &why)) << why;
  EXPECT_EQ(V(h.close[10]), 1303);
  EXPECT_EQ(told.size(), 25u);

  // Nothing left: a second run says so.
  host.Answer(IDOK);
  host.Answer(IDOK, "問題なし");
  EXPECT_EQ(RepairEtfCloses(), 0);
}

TEST_F(Maintenance, RepairIsNotOfferedAfterDecember2024) {
  Load(3, 10);  // the fixture calendar ends in 2026
  EXPECT_EQ(RepairEtfCloses(), 0);
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
