// Building the regular database from the web while the sample is in use: the new file (every
// stock of the master file, the sample's calendar extended by the fetched days, stock 0's
// sample prices), the run that leaves Nagoya listings without prices, Cancel at the first
// stock, and a preparation that fails before anything replaced the sample.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "net/access_throttle.h"
#include "net/backfill.h"
#include "net/database_build.h"
#include "net/net_config.h"
#include "platform/working_folder.h"
#include "shell/settings.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/today_pages.h"
#include "support/utf8.h"

namespace {

constexpr int32_t kNewDay = 20261210;  // fetched, not in the sample's calendar
constexpr int kSampleStocks = 3;
constexpr int kMasterStocks = 5;
constexpr int kNagoya = 3;  // the stock listed in Nagoya only

struct Progress final : DownloadProgress {
  void ShowProgress(int done, int total, const char*, const char*) override {
    last_done = done;
    last_total = total;
    ++shown;
  }
  bool CancelRequested() override { return cancel; }
  int last_done = -1, last_total = 0, shown = 0;
  bool cancel = false;
};

std::string Row(const std::string& date) {
  return "<tr><td>" + date + "</td><td>38,000</td><td>38,100</td><td>37,900</td><td>38,050</td></tr>";
}

class DatabaseBuild : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    ResetAllSettings();
    std::vector<Fundamental> entries = FixtureStocks(kMasterStocks);
    entries[kNagoya].market = 5;
    EnterSampleMode(entries, kSampleStocks);
    sample_bytes = ReadFileBytes(DataFilePath(SAMPLE_DB_FILE));

    StartServer();
    UseTestSites();
    std::string nikkei = U8(u8"<table><tr><td>日付</td><td>始値</td><td>高値</td><td>安値</td><td>終値</td></tr>");
    nikkei += Row("2026/12/10") + Row("2026/12/9") + Row("2026/12/8") + "</table>";
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=1", nikkei);
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=2", "<table></table>");
    int64_t ts[2] = {kToday0900 - 86400, kToday0900};
    int64_t o[2] = {1500, 1600}, h[2] = {1520, 1620}, l[2] = {1490, 1590}, c[2] = {1510, 1610}, v[2] = {900, 800};
    Serve("/v8/finance/chart/7001.T?range=60d&interval=1d&events=split%7Cdiv",
          ChartJsonDays("7001.T", ts, o, h, l, c, v, 2));
  }
  void TearDown() override {
    ResetAllSettings();
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  int Close(const Hiashi& h, int32_t date) const {
    for (int i = 0; i < LastDate; ++i)
      if (nikkei_date[i] == date) return Packed_to_Value(h.close[i]);
    return -1;
  }
  void ExpectStoppedAtTheFirstStock();
  static bool HasPrices(const Hiashi& h) {
    for (int d = 0; d < MAX_DATE; ++d)
      if (h.close[d]) return true;
    return false;
  }
  // Every stock of the master file has its record; slots after them are empty.
  void ExpectEveryStockHasItsRecord() {
    auto rec = std::make_unique<Hiashi>();
    for (int s = 0; s < kMasterStocks; ++s) {
      ASSERT_EQ(ReadRecordChecked(s, rec.get()), RecordRead::kOurs) << s;
      EXPECT_EQ(rec->code, FixtureCode(s));
      EXPECT_STREQ(rec->name, fundamental[s].name);
    }
    const std::string after = ReadFileRange(DataFilePath(DB_FILE), DbRecordOffset(kMasterStocks), DB_RECORD_SIZE);
    EXPECT_EQ(after, std::string(DB_RECORD_SIZE, '\0'));
  }

  TempDir dir;
  ScriptedHost host;
  Progress progress;
  std::string sample_bytes;
};

TEST_F(DatabaseBuild, WritesEveryStockKeepsTheSampleOfStockZeroAndFetchesSixtyDays) {
  auto sample0 = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecordChecked(0, sample0.get()), RecordRead::kOurs);
  const int sample_last_close = Packed_to_Value(sample0->close[9]);
  host.Answer(IDOK, "データベースの作成完了");

  EXPECT_EQ(BuildRegularDatabase(&progress), 1);

  EXPECT_EQ(fSampleDB, 0);
  EXPECT_EQ(fDbMake, 0);
  EXPECT_EQ(LastKabu, kMasterStocks);
  EXPECT_EQ(std::filesystem::file_size(DataFilePath(DB_FILE)), static_cast<uintmax_t>(DB_FILE_SIZE));
  EXPECT_EQ(ReadFileBytes(DataFilePath(SAMPLE_DB_FILE)), sample_bytes);  // the sample stays as it was
  ASSERT_EQ(LastDate, 11);
  EXPECT_EQ(nikkei_date[10], kNewDay);
  ExpectEveryStockHasItsRecord();

  auto rec = std::make_unique<Hiashi>();
  // Stock 0: the sample's prices, re-aligned to the longer calendar (the new day from the
  // chart interface, which serves no data for 7000 here, so it holds the last close).
  ASSERT_EQ(ReadRecordChecked(0, rec.get()), RecordRead::kOurs);
  EXPECT_EQ(Close(*rec, 20261209), sample_last_close);
  EXPECT_EQ(Close(*rec, kNewDay), sample_last_close);
  EXPECT_EQ(rec->end, 10);
  // Stock 1 from the chart interface.
  ASSERT_EQ(ReadRecordChecked(1, rec.get()), RecordRead::kOurs);
  EXPECT_EQ(Close(*rec, kNewDay), 1610);
  EXPECT_EQ(rec->end, 10);
  EXPECT_EQ(rec->start, 9);
  // Nagoya listing: no history pages at all, no prices.
  ASSERT_EQ(ReadRecordChecked(kNagoya, rec.get()), RecordRead::kOurs);
  EXPECT_FALSE(HasPrices(*rec));
  EXPECT_EQ(Requests("7003"), 0);
  // A stock the web had nothing for keeps its empty record.
  ASSERT_EQ(ReadRecordChecked(4, rec.get()), RecordRead::kOurs);
  EXPECT_FALSE(HasPrices(*rec));

  // Nobody was asked about the missing days and only the preparation had a wait dialog; the
  // bar stood at 100 for the first stocks.
  ASSERT_EQ(host.boxes.size(), 1u);
  ASSERT_EQ(host.wait_texts.size(), 1u);
  EXPECT_NE(host.wait_texts[0].find("正規のデータベース作成の準備中です"), std::string::npos);
  EXPECT_EQ(progress.last_done, 100);
  EXPECT_EQ(progress.last_total, kMasterStocks - 1);
}

// Cancel, or an access restriction, before the first stock: the run ends at once, yet the
// new database is in use and the completion message is shown.
void DatabaseBuild::ExpectStoppedAtTheFirstStock() {
  host.Answer(IDOK, "データベースの作成完了");
  EXPECT_EQ(BuildRegularDatabase(&progress), 1);
  EXPECT_EQ(fSampleDB, 0);
  EXPECT_EQ(Requests("/v8/finance/chart/"), 0);
  ExpectEveryStockHasItsRecord();
  auto rec = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecordChecked(1, rec.get()), RecordRead::kOurs);
  EXPECT_FALSE(HasPrices(*rec));
  EXPECT_NE(host.boxes[0].text.find("完了しました"), std::string::npos);
}

TEST_F(DatabaseBuild, CancelAtTheFirstStockStillLeavesTheSampleModeWithTheMessage) {
  progress.cancel = true;
  ExpectStoppedAtTheFirstStock();
  EXPECT_EQ(progress.shown, 1);
}

TEST_F(DatabaseBuild, AnAccessRestrictionStopsTheRunWithoutWaiting) {
  TouchAccess();
  SetHttpCount(ACCESS_LIMIT + 1);
  ExpectStoppedAtTheFirstStock();
  EXPECT_EQ(progress.shown, 0);  // no countdown, no stock
}

TEST_F(DatabaseBuild, AFailedPreparationKeepsTheSampleModeAndWritesNoDatabase) {
  // The new file cannot take its full size (as on a full disk).
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  host.Answer(IDOK, "データベースの作成失敗");
  const int made = BuildRegularDatabase(&progress);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(made, 0);
  EXPECT_EQ(fSampleDB, 1);
  EXPECT_EQ(fDbMake, 0);
  EXPECT_FALSE(std::filesystem::exists(DataFilePath(DB_FILE)));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "left behind: " << entry.path();
  EXPECT_TRUE(server->requests().empty());
  EXPECT_NE(host.boxes[0].text.find("サンプルのデータベースのままです"), std::string::npos);
}

}  // namespace
