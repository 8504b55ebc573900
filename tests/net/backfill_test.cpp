// The back-fill end to end on the loopback server: the shown stock with the chart interface,
// the margin pages and the history pages, a calendar extended by fetched days, an all-stocks
// run cancelled and resumed, the rest of the access throttle, and hostile pages that must
// erase nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "chart/shown_stock.h"
#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "lists/user_data.h"
#include "net/access_throttle.h"
#include "net/backfill.h"
#include "net/chart_json.h"
#include "net/download_settings.h"
#include "net/net_config.h"
#include "platform/hooks.h"
#include "shell/backfill_wiring.h"
#include "shell/settings.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/merge_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/today_pages.h"
#include "support/utf8.h"

namespace {

constexpr int32_t kMissingDay = 20261203;  // left out of the fixture's calendar

struct Progress final : DownloadProgress {
  void ShowProgress(int done, int total, const char*, const char*) override {
    last_done = done;
    last_total = total;
  }
  bool CancelRequested() override { return ++asked > cancel_after; }
  int last_done = -1, last_total = 0, asked = 0, cancel_after = 1 << 30;
};

std::string Cells(const std::vector<std::string>& cells) {
  std::string s = "<tr>";
  for (const std::string& c : cells) s += "<td>" + c + "</td>";
  return s + "</tr>\n";
}

std::string DateText(int32_t d) {
  return std::to_string(d / 10000) + "/" + std::to_string(d / 100 % 100) + "/" + std::to_string(d % 100);
}

// Days of a fixture record must hold a close from start to end (the independent check).
void ExpectSound(int stocks) {
  auto h = std::make_unique<Hiashi>();
  for (int s = 0; s < stocks; ++s) {
    ASSERT_EQ(ReadRecordChecked(s, h.get()), RecordRead::kOurs) << s;
    ASSERT_GE(h->start, 0);
    ASSERT_LT(h->end, LastDate);
    for (int d = h->start; d <= h->end; ++d) {
      EXPECT_NE(h->close[d], 0) << "stock " << s << " day " << d;
      EXPECT_GE(Packed_to_Value(h->high[d]), Packed_to_Value(h->low[d]));
    }
  }
}

class Backfill : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    ResetAllSettings();
    std::vector<int32_t> calendar = FixtureCalendar(11);  // 2026-11-25 .. 2026-12-09
    calendar.erase(std::find(calendar.begin(), calendar.end(), kMissingDay));
    WriteMergeFixture(3, calendar);
    ASSERT_TRUE(LoadMergeFixture());
    Tyumoku_Num = 0;
    StartServer();
    UseTestSites();
    ServeNikkei();
  }
  void TearDown() override {
    DownloadStateChangedHook = nullptr;
    CountDownDialog = nullptr;
    Tyumoku_Num = 0;
    ResetAllSettings();
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  // The Nikkei history: the calendar's days, the missing one, a weekend day, a day fetched
  // twice and one before the calendar.
  void ServeNikkei() {
    std::string page = U8(u8"<table>") + Cells({U8(u8"日付"), U8(u8"始値"), U8(u8"高値"), U8(u8"安値"), U8(u8"終値")});
    for (int32_t d : {20261209, 20261208, 20261207, kMissingDay, kMissingDay, 20261205, 20261202, 20261124})
      page += Cells({DateText(d), "38,000", "38,100", "37,900", "38,050"});
    page += U8(u8"</table><a>次へ</a>") + Cells({"2026/11/20", "1", "1", "1", "1"});
    Serve("/quote/998407.O/history", page);
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=1", page);
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=2", "<table></table>");
  }
  std::string PricePage(const std::vector<int32_t>& dates, int close) {
    std::string page = "<table>";
    for (int32_t d : dates)
      page += Cells({DateText(d), std::to_string(close - 1), std::to_string(close + 2), std::to_string(close - 3),
                     std::to_string(close), "5,000", std::to_string(close)});
    return page + "</table>";
  }
  std::string MarginPage(int32_t date, const std::string& sell, const std::string& buy) {
    return U8(u8"<table>") + Cells({U8(u8"日付"), U8(u8"売残"), U8(u8"売残増減"), U8(u8"買残"), U8(u8"買残増減"), U8(u8"信用倍率")}) +
           Cells({DateText(date), sell, buy}) + "</table>";
  }
  int Close(const Hiashi& h, int32_t date) {
    for (int i = 0; i < LastDate; ++i)
      if (nikkei_date[i] == date) return Packed_to_Value(h.close[i]);
    return -1;
  }
  int Sell(const Hiashi& h, int32_t date) {
    for (int i = 0; i < LastDate; ++i)
      if (nikkei_date[i] == date) return Packed_to_Value(h.margin_sell[i]);
    return -1;
  }

  TempDir dir;
  ScriptedHost host;
  Progress progress;
};

TEST_F(Backfill, ChoiceZeroExtendsTheCalendarAndReadsTwentyDaysFromTheChartInterface) {
  int64_t ts[2] = {kToday0900 - 7 * 86400, kToday0900 - 86400};  // 12-03 and 12-09
  int64_t o[2] = {1500, 1600}, h[2] = {1520, 1620}, l[2] = {1490, 1590}, c[2] = {1510, 1610}, v[2] = {900, 800};
  Serve("/v8/finance/chart/7001.T?range=20d&interval=1d&events=split%7Cdiv", ChartJsonDays("7001.T", ts, o, h, l, c, v, 2));
  DispNum = 1;
  host.Answer(IDOK, "不足株価データのダウンロード");
  EXPECT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 0), 1);
  EXPECT_EQ(LastDate, 11);
  EXPECT_EQ(nikkei_date[LastDate - 5], kMissingDay);
  EXPECT_NE(host.boxes[0].text.find("不足している 1 日分"), std::string::npos);
  EXPECT_EQ(Requests("history?from="), 0);  // no history page for a chart-served stock
  auto rec = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(1, rec.get()), 1);
  EXPECT_EQ(Close(*rec, kMissingDay), 1510);
  EXPECT_EQ(Close(*rec, 20261209), 1610);
  EXPECT_EQ(rec->end, LastDate - 1);
  // The other stocks were re-aligned: the inserted day holds the close before it.
  ASSERT_EQ(ReadRecord(0, rec.get()), 1);
  EXPECT_EQ(Close(*rec, kMissingDay), Close(*rec, 20261202));
  ExpectSound(3);
  EXPECT_EQ(WebMillerSelect, 0);
}

TEST_F(Backfill, ChoiceThreeReadsTheMarginPagesOfTheShownStock) {
  Serve("/quote/7002.T/history?styl=margin&page=1", MarginPage(20261208, "11,000", "22,000"));
  DispNum = 2;
  EXPECT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 3), 1);
  EXPECT_EQ(Requests("/quote/998407.O"), 0);  // no calendar step without price pages
  EXPECT_EQ(Requests("styl=margin&page=2"), 1);  // the 404 of page 2 ends the paging
  auto rec = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(2, rec.get()), 1);
  EXPECT_EQ(Sell(*rec, 20261207), 11000);
  EXPECT_EQ(Sell(*rec, 20261209), 11000);
  EXPECT_NE(rec->flag & FLAG_MARGIN, 0);
  EXPECT_EQ(progress.last_total, 56);
}

TEST_F(Backfill, ChoiceFiveReadsPricesAndMarginsFromTheHistoryPages) {
  Serve("/quote/7000.T/history?from=20261125&to=20261209&timeFrame=d&page=1",
        PricePage({20261209, 20261208, kMissingDay}, 3000));
  Serve("/quote/7000.T/history?styl=margin&page=1", MarginPage(20261202, "1,234", "5,678"));
  DispNum = 0;
  host.Answer(IDOK, "不足株価データのダウンロード");
  EXPECT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 5), 1);
  auto rec = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(0, rec.get()), 1);
  EXPECT_EQ(Close(*rec, 20261209), 3000);
  EXPECT_EQ(Close(*rec, kMissingDay), 3000);
  EXPECT_EQ(Sell(*rec, 20261201), 1234);
  EXPECT_EQ(progress.last_total, 197);
  EXPECT_GT(nHttpCount, 3);  // every portal page was counted
  ExpectSound(3);
}

TEST_F(Backfill, DecliningTheCalendarStepStopsBeforeAnyStock) {
  DispNum = 0;
  const std::string before = DatabaseBytes(3);
  host.Answer(IDCANCEL, "不足株価データのダウンロード");
  host.Answer(IDOK, "ダウンロード中止");
  EXPECT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 5), 0);
  EXPECT_EQ(DatabaseBytes(3), before);
  EXPECT_EQ(Requests("/quote/7000.T"), 0);
}

TEST_F(Backfill, AnAllStocksRunCancelledMidwayResumesFromItsSavedPosition) {
  DownloadStateChangedHook = SaveDownloadState;
  for (int s = 0; s < 3; ++s)
    Serve("/quote/700" + std::to_string(s) + ".T/history?styl=margin&page=1", MarginPage(20261208, "100", "200"));
  progress.cancel_after = 1;  // the second stock's turn
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 2), 1);
  EXPECT_EQ(Requests("/quote/7000.T/history?styl=margin"), 1);
  EXPECT_EQ(Requests("/quote/7001.T/history?styl=margin"), 0);
  // The position was written as it changed: a fresh start reads it back.
  ResetAllSettings();
  LoadSettings();
  EXPECT_EQ(Restart[2], 1);
  UseTestSites();  // the settings put the default web sources back
  progress = Progress{};
  host.Answer(IDYES, "前回の続きから再開");
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 2), 1);
  EXPECT_NE(host.boxes.back().text.find("33.3"), std::string::npos);
  EXPECT_EQ(Requests("/quote/7000.T/history?styl=margin"), 1);
  EXPECT_EQ(Requests("/quote/7001.T/history?styl=margin"), 1);
  EXPECT_EQ(Requests("/quote/7002.T/history?styl=margin"), 1);
  EXPECT_EQ(Restart[2], 2);  // the last stock: the next run does not ask
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 2), 1);
}

TEST_F(Backfill, TheFavouritesScopeTakesOnlyFavouritesAndKeepsThePosition) {
  Tyumoku_Num = 1;
  tyumoku[0].Code = FixtureCode(2);
  Restart[2] = 0;
  Serve("/quote/7002.T/history?styl=margin&page=1", MarginPage(20261208, "100", "200"));
  EXPECT_EQ(RunBackfill(&progress, MILLER_FAVOURITES, 2), 1);
  EXPECT_EQ(Requests("styl=margin"), 1);
  EXPECT_EQ(Requests("/quote/7002.T/history?styl=margin&page=1"), 1);
  EXPECT_EQ(Restart[2], 0);
}

TEST_F(Backfill, AnInterruptedRestStopsTheRunAndKeepsTheResumePosition) {
  Serve("/quote/7000.T/history?styl=margin&page=1", MarginPage(20261208, "100", "200"));
  nHttpCount = 150;
  LatestTime = host.now;
  CountDownDialog = [](int mode) { return mode == 2 ? 0 : 1; };
  Restart[2] = 0;
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 2), 1);
  EXPECT_EQ(Requests("styl=margin"), 0);
  EXPECT_EQ(Restart[2], 0);
  // A rest that runs out resets the count and goes on.
  CountDownDialog = nullptr;
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 2), 1);
  EXPECT_EQ(host.slept_ms, 2100 * 1000);
  EXPECT_EQ(Requests("styl=margin"), 3);
}

// A fetched bar out of order is made flat at its close and keeps the page's volume.
TEST_F(Backfill, AnOutOfOrderFetchedBarKeepsItsVolume) {
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  const int d = LastDate - 2;
  WebHiashi.open[d] = Value_to_Packed(500);
  WebHiashi.high[d] = Value_to_Packed(480);  // below the open
  WebHiashi.low[d] = Value_to_Packed(470);
  WebHiashi.close[d] = Value_to_Packed(490);
  WebHiashi.deki[d] = Value_to_Packed(12000);
  auto h = std::make_unique<Hiashi>();
  ASSERT_EQ(MergeWebHiashi(1, h.get()), 1);
  for (const uint16_t* a : {h->open, h->high, h->low, h->close}) EXPECT_EQ(Packed_to_Value(a[d]), 490);
  EXPECT_EQ(Packed_to_Value(h->deki[d]), 12000);
  EXPECT_NE(PrtJoined().find("補正"), std::string::npos);
}

// Stored volumes and balances survive pages whose cells hold no number: a dash, a blank
// cell, a row cut short. A volume the pages do not give (0 in the staging record) keeps the
// stored one too.
TEST_F(Backfill, CellsWithoutANumberKeepTheStoredValues) {
  Serve("/quote/7002.T/history?from=20261125&to=20261209&timeFrame=d&page=1",
        PricePage({20261209, 20261208, kMissingDay}, 3000));
  Serve("/quote/7002.T/history?styl=margin&page=1", MarginPage(20261202, "1,234", "69,340,000"));
  DispNum = 2;
  host.Answer(IDOK, "不足株価データのダウンロード");
  ASSERT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 5), 1);
  auto rec = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(2, rec.get()), 1);
  const int d9 = LastDate - 1, d8 = LastDate - 2;
  const int d2 = static_cast<int>(std::find(nikkei_date, nikkei_date + LastDate, 20261202) - nikkei_date);
  ASSERT_EQ(nikkei_date[d9], 20261209);
  ASSERT_EQ(nikkei_date[d2], 20261202);
  const uint16_t volume9 = rec->deki[d9], volume8 = rec->deki[d8], buy = rec->margin_buy[d2];
  ASSERT_EQ(Packed_to_Value(volume9), 5000);
  ASSERT_EQ(Packed_to_Value(buy), Packed_to_Value(Double_to_Packed(69340000)));
  const uint16_t buy0 = rec->margin_buy[0], sell1 = rec->margin_sell[1];  // the week of 11/25

  std::string prices = "<table>" + Cells({"2026/12/9", "3,001", "3,010", "2,990", "3,005", U8(u8"－"), "3,005"});
  prices += Cells({"2026/12/8", "3,001", "3,010", "2,990", "3,005", "", "3,005"}) + "</table>";
  Serve("/quote/7002.T/history?from=20261125&to=20261209&timeFrame=d&page=1", prices);
  Serve("/quote/7002.T/history?styl=margin&page=1",
        U8(u8"<table>") + Cells({U8(u8"日付"), U8(u8"売残"), U8(u8"売残増減"), U8(u8"買残"), U8(u8"買残増減"), U8(u8"信用倍率")}) +
            Cells({"2026/12/2", "", "69,340,000"}) + Cells({"2026/11/25", U8(u8"―"), "1"}) +
            "<tr><td>2026/11/26</td><td>5</td></tr></table>");
  ASSERT_EQ(RunBackfill(&progress, MILLER_SHOWN_STOCK, 5), 1);
  ASSERT_EQ(ReadRecord(2, rec.get()), 1);
  EXPECT_EQ(rec->deki[d9], volume9);
  EXPECT_EQ(rec->deki[d8], volume8);
  EXPECT_EQ(Close(*rec, 20261209), 3000);  // the rows were not read
  EXPECT_EQ(rec->margin_buy[d2], buy);
  EXPECT_EQ(Sell(*rec, 20261202), 1234);
  EXPECT_EQ(rec->margin_buy[0], buy0);  // 11/25 and 11/26 were never read
  EXPECT_EQ(rec->margin_sell[1], sell1);

  // A fetched bar without a volume keeps the stored one.
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  WebHiashi.open[d9] = WebHiashi.high[d9] = WebHiashi.low[d9] = WebHiashi.close[d9] = Value_to_Packed(3100);
  ASSERT_EQ(MergeWebHiashi(2, rec.get()), 1);
  EXPECT_EQ(Close(*rec, 20261209), 3100);
  EXPECT_EQ(rec->deki[d9], volume9);
  ExpectSound(3);
}

TEST_F(Backfill, HostilePagesEraseNothing) {
  Serve("/quote/7000.T/history?styl=margin&page=1", U8(u8"<p>現在表示できません</p>"));
  Serve("/quote/7001.T/history?styl=margin&page=1", MarginPage(20261208, "9", "9"), 500);
  Serve("/quote/7002.T/history?styl=margin&page=1", U8(u8"<table><tr><td>2026/12/8</td><td>1"));
  const std::string before = DatabaseBytes(3);
  EXPECT_EQ(RunBackfill(&progress, MILLER_ALL_STOCKS, 3), 1);
  EXPECT_EQ(DatabaseBytes(3), before);
  ExpectSound(3);
}

}  // namespace
