// Today's download end to end on the loopback server, the date probe's cases, the rule of
// the least filled count, and the day file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/download_settings.h"
#include "net/net_config.h"
#include "net/today_download.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/today_pages.h"
#include "support/utf8.h"

namespace {

struct RecordingProgress final : DownloadProgress {
  void ShowText(const char* text) override { date = text; }
  void ShowProgress(int done, int total, const char* e, const char* r) override {
    ++updates;
    last_done = done;
    elapsed = e;
  }
  bool CancelRequested() override { return ++asked > cancel_after; }
  std::string date, elapsed;
  int updates = 0, last_done = -1, asked = 0, cancel_after = 1 << 30;
};

void AddStock(int32_t code, const char* name, int market, int32_t flag) {
  Fundamental& f = fundamental[LastKabu++];
  std::memset(&f, 0, sizeof f);
  f.code = code;
  std::snprintf(f.name, sizeof f.name, "%s", name);
  f.market = static_cast<int8_t>(market);
  f.tani = 100;
  f.flag = flag;
}

std::string Commas(int64_t v) {
  std::string s = std::to_string(v);
  for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), ",");
  return s;
}

// Shares as the day file writes them: thousands with up to three decimals.
std::string Thousands(int64_t shares) {
  std::string s = std::to_string(shares / 1000);
  if (shares % 1000) {
    char part[8];
    std::snprintf(part, sizeof part, ".%03d", static_cast<int>(shares % 1000));
    std::string p = part;
    while (p.back() == '0') p.pop_back();
    s += p;
  }
  return s;
}

class TodayDownload : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    UseTestSites();
    const std::vector<int32_t> dates = FixtureCalendar(20);  // ends 2026-12-09
    for (int i = 0; i < 20; ++i) nikkei_date[i] = dates[i];
    LastDate = 20;
    LastKabu = 0;
    fTimedDownload = 0;
    WebProbeCode = 1300;
    ClearWebDayTable();
    StartServer();
  }
  void TearDown() override {
    fTimedDownload = 0;
    WebProbeCode = WEB_PROBE_CODE_DEFAULT;
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  void ServeProbe(const std::string& time_text, const std::string& limit_date = "12/10") {
    QuoteFigures figures;
    figures.time_text = time_text;
    figures.limit_date = limit_date;
    figures.open = figures.high = figures.low = figures.close = "1,000";
    figures.volume = "100";
    loopback::Reply r;
    r.body = QuotePage(figures);
    server->Route(QuotePath("1300.T"), r);
  }
  // Requests of exactly this path.
  int RequestsOf(const std::string& path) const { return Requests("GET " + path + " "); }

  TempDir dir;
  ScriptedHost host;
};

// A few thousand stocks: indices from the quote page, an exchange rate, chart-served
// stocks, Nagoya listings from the quote page, and the stocks that must stay out.
TEST_F(TodayDownload, EndToEndDayFile) {
  // The internet library's path: one connection per host for the whole run.
  CurrentNetConfig().wininet = 1;
  ServeProbe("15:30");
  const int companies = 3420;
  const std::string ts = std::to_string(kToday0900);
  const std::string yesterday = std::to_string(kToday0900 - 86400);
  std::vector<std::pair<int32_t, std::string>> lines;  // code, expected line without volume fixups
  int64_t first_section = 0;

  AddStock(1001, "日経平均", 0, FLAG_DAILY_DOWNLOAD | FLAG_INDEX);
  AddStock(1002, "TOPIX", 0, FLAG_DAILY_DOWNLOAD | FLAG_INDEX);
  AddStock(1003, "円ドル", 0, FLAG_DAILY_DOWNLOAD | FLAG_INDEX);
  AddStock(1021, "S&P500", 0, FLAG_DAILY_DOWNLOAD | FLAG_INDEX);  // world index: never requested
  AddStock(500, "コード500", 1, FLAG_DAILY_DOWNLOAD);             // filled but below 1000
  QuoteFigures nikkei;
  nikkei.open = "38,000.12";
  nikkei.high = "38,500";
  nikkei.low = "37,900.5";
  nikkei.close = "38,250.99";
  nikkei.volume = "0";
  Serve(QuotePath("998407.O"), QuotePage(nikkei));
  QuoteFigures topix = nikkei;
  topix.open = "2,700.5";
  topix.high = "2,710";
  topix.low = "2,690";
  topix.close = "2,705.25";
  Serve(QuotePath("998405.T"), QuotePage(topix));
  Serve(ChartPath("USDJPY=X"), ChartJson("USDJPY=X", ts, "150.123", "151.5", "149.999", "150.5", "0"));
  Serve(ChartPath("0500.T"), ChartJson("0500.T", ts, "10", "12", "9", "11", "1000"));
  first_section += 1000;
  lines.push_back({1003, "1003\t円ドル\t15012\t15150\t14999\t15050\t0"});

  for (int k = 0; k < companies; ++k) {
    const int32_t code = 1300 + k;
    const bool nagoya = k % 50 == 25 || k == 16;
    char name[32];
    std::snprintf(name, sizeof name, k == 14 ? "A B C" : "銘柄%d", k);
    AddStock(code, name, nagoya ? 5 : 1, k == 13 ? 0 : FLAG_DAILY_DOWNLOAD);
    const int64_t close = 1000 + k, open = close - 3, high = close + 5, low = close - 7;
    const int64_t volume = k == 0 ? 5 : 1000LL * k + (k % 3 ? 123 : 0);
    const std::string symbol = Code_to_String(code).c_str() + std::string(nagoya ? ".N" : ".T");
    const std::string open_text = std::to_string(open) + (k % 7 == 0 ? ".99" : "");
    if (k == 11) {  // no trade today
      Serve(ChartPath(symbol), ChartJson(symbol, ts, "null", "null", "null", "null", "0"));
      continue;
    }
    if (k == 12) {  // the interface still serves yesterday's bar
      Serve(ChartPath(symbol), ChartJson(symbol, yesterday, "1", "2", "1", "2", "10"));
      continue;
    }
    if (k == 13 || k == 15) continue;  // not marked / nothing served
    if (k == 16) {  // a quote page without prices
      QuoteFigures empty;
      empty.prices = false;
      Serve(QuotePath(symbol), QuotePage(empty));
      continue;
    }
    if (nagoya || k == 10) {
      QuoteFigures q;
      q.open = Commas(open);
      q.high = Commas(high);
      q.low = Commas(low);
      q.close = Commas(close);
      q.volume = Commas(volume);
      Serve(QuotePath(symbol), QuotePage(q));
    }
    if (k == 10)  // an inconsistent bar: high below close, so the quote page is read
      Serve(ChartPath(symbol), ChartJson(symbol, ts, "1000", "1001", "990", "1005", "7"));
    else if (!nagoya)
      Serve(ChartPath(symbol),
            ChartJson(symbol, ts, open_text, std::to_string(high), std::to_string(low), std::to_string(close),
                      std::to_string(volume)));
    if (!nagoya) first_section += volume;
    const std::string field = k == 14 ? "A_B_C" : name;
    lines.push_back({code, std::string(Code_to_String(code).c_str()) + "\t" + field + "\t" + std::to_string(open) +
                               "\t" + std::to_string(high) + "\t" + std::to_string(low) + "\t" +
                               std::to_string(close) + "\t" + Thousands(volume)});
  }
  const std::string index_volume = Thousands(first_section / 10000);
  lines.push_back({1001, "1001\t日経平均\t38000\t38500\t37900\t38250\t" + index_volume});
  lines.push_back({1002, "1002\tTOPIX\t2700\t2710\t2690\t2705\t" + index_volume});
  std::sort(lines.begin(), lines.end());
  std::string expected = "20261210\n";
  for (const auto& l : lines) expected += l.second + "\n";

  RecordingProgress progress;
  ASSERT_EQ(RunTodayDownload(&progress), 1) << TodayDownloadFailure() << PrtHistory();
  EXPECT_EQ(WebDate, 20261210);
  EXPECT_EQ(WebTime, 1530);
  EXPECT_EQ(progress.date, "2026年12月10日");
  EXPECT_GT(progress.updates, companies - 10);
  EXPECT_EQ(std::string(WebDayFileName), dir.path() + "/data/y261210.txt");
  const std::string written = ReadFileBytes(dir.path() + "/data/y261210.txt");
  EXPECT_EQ(Cp932ToUtf8(written), Cp932ToUtf8(expected));
  EXPECT_NE(written.find("\n1300\t銘柄0\t997\t1005\t993\t1000\t0.005\n"), std::string::npos);
  EXPECT_TRUE(PrtHas("hen=1)")) << PrtHistory().substr(0, 2000);
  EXPECT_EQ(RequestsOf(ChartPath("1313.T")) + RequestsOf(QuotePath("1313.T")), 0);  // not marked
  EXPECT_EQ(RequestsOf(ChartPath("^GSPC")) + RequestsOf(ChartPath("GSPC")), 0);
  EXPECT_EQ(RequestsOf(ChartPath("1312.T")), 1);
  EXPECT_EQ(RequestsOf(QuotePath("1312.T")), 0);  // a stale bar has no fallback
  EXPECT_EQ(RequestsOf(QuotePath("1310.T")), 1);  // the inconsistent bar's fallback
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_LE(server->connections(), 4);
}

TEST_F(TodayDownload, TradingNotOverAsksAndTheTimedRunStops) {
  AddStock(1300, "銘柄", 1, FLAG_DAILY_DOWNLOAD);
  ServeProbe("14:50");
  // Cancel: the run stops.
  host.Answer(IDCANCEL, "まだ取引が終了していません");
  host.Answer(IDOK, "ダウンロード中止");
  EXPECT_EQ(RunTodayDownload(nullptr), 0);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_NE(host.boxes[0].text.find("株価の最終時刻 2026年12月10日 14時50分"), std::string::npos);
  EXPECT_EQ(host.boxes[0].type & MB_DEFBUTTON2, MB_DEFBUTTON2);
  // OK: the prices as they are, with the hint the first time only.
  host.boxes.clear();
  host.Answer(IDOK, "まだ取引が終了していません");
  host.Answer(IDOK, "ザラ場での株価データ更新");
  EXPECT_EQ(DownloadToday(nullptr), 1);
  EXPECT_EQ(WebDate, 20261210);
  host.Answer(IDOK, "まだ取引が終了していません");
  EXPECT_EQ(DownloadToday(nullptr), 1);
  EXPECT_EQ(host.boxes.size(), 3u);
  // The timed download neither asks nor shows a box.
  host.boxes.clear();
  fTimedDownload = 1;
  EXPECT_EQ(RunTodayDownload(nullptr), 0);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(PrtHas("まだ取引が終了していない。中止します"));
}

TEST_F(TodayDownload, DateAlreadyHeldStops) {
  AddStock(1300, "銘柄", 1, FLAG_DAILY_DOWNLOAD);
  ServeProbe("15:30");
  nikkei_date[LastDate - 1] = 20261210;
  host.Answer(IDOK, "2026年12月10日");
  host.Answer(IDOK, "ダウンロード中止");
  EXPECT_EQ(RunTodayDownload(nullptr), 0);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, "古いデータを落とそうとしています\n中止します");
  EXPECT_EQ(RequestsOf(ChartPath("1300.T")), 0);
}

TEST_F(TodayDownload, ProbeFailuresAndCancel) {
  AddStock(1300, "銘柄", 1, FLAG_DAILY_DOWNLOAD);
  AddStock(1301, "銘柄", 1, FLAG_DAILY_DOWNLOAD);
  fTimedDownload = 1;
  // No probe page (a 404 page has no price-limit line).
  EXPECT_EQ(DownloadToday(nullptr), 0);
  EXPECT_TRUE(PrtHas("現在の日時なし"));
  // Before the opening.
  ServeProbe("08:10", "--/--");
  EXPECT_EQ(DownloadToday(nullptr), 0);
  EXPECT_TRUE(PrtHas("取引開始前"));
  // A probe code that is not in the table.
  WebProbeCode = 9999;
  EXPECT_EQ(DownloadToday(nullptr), 0);
  EXPECT_NE(std::string(TodayDownloadFailure()).find("日付確認の銘柄"), std::string::npos);
  // Cancel before the first stock: nothing requested beyond the probe.
  WebProbeCode = 1300;
  ServeProbe("15:30");
  RecordingProgress progress;
  progress.cancel_after = 0;
  EXPECT_EQ(DownloadToday(&progress), 0);
  EXPECT_TRUE(PrtHas("途中で止めるのね"));
  EXPECT_EQ(RequestsOf(ChartPath("1300.T")), 0);
}

class TodayTable : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ClearWebDayTable();
    fTimedDownload = 0;
    LastKabu = 0;
    for (int i = 0; i < 3500; ++i) AddStock(1300 + i, "銘柄", 1, FLAG_DAILY_DOWNLOAD);
    WebDate = 20261210;
  }
  void TearDown() override { ResetDatabaseState(); }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(TodayTable, LeastFilledCountAndZeroEntries) {
  for (int s = 0; s < TODAY_MIN_FILLED - 1; ++s) EXPECT_EQ(StoreWebDay(s, 10, 12, 9, 11, 100), 1);
  // An entry whose page gave no prices never counts.
  EXPECT_EQ(StoreWebDay(3400, 0, 0, 0, 0, 5000), 0);
  EXPECT_EQ(CountWebDayFilled(), TODAY_MIN_FILLED - 1);
  host.Answer(IDOK, "ダウンロード失敗");
  EXPECT_EQ(FinishTodayDownload(), 0);
  EXPECT_NE(PrtHistory().find("有効数=3394,総数=3500"), std::string::npos);
  struct stat st {};
  EXPECT_NE(::stat((dir.path() + "/data/y261210.txt").c_str(), &st), 0);
  EXPECT_EQ(StoreWebDay(3401, 10, 12, 9, 11, 100), 1);
  EXPECT_EQ(FinishTodayDownload(), 1);
  EXPECT_EQ(::stat((dir.path() + "/data/y261210.txt").c_str(), &st), 0);
}

TEST_F(TodayTable, StoreKeepsTheLargerVolume) {
  EXPECT_EQ(StoreWebDay(0, 10, 12, 9, 11, 100), 1);
  EXPECT_EQ(StoreWebDay(0, 20, 22, 19, 21, 100), 0);
  EXPECT_EQ(WebDayTable[0].end, 11);
  EXPECT_EQ(StoreWebDay(0, 20, 22, 19, 21, 101), 1);
  EXPECT_EQ(WebDayTable[0].end, 21);
  EXPECT_EQ(StoreWebDay(1, 1LL << 40, 1, 1, 1, 1), 0);  // beyond an entry
  EXPECT_EQ(WebDayTable[1].code, 0);
}

TEST_F(TodayTable, FailedDayFileIsAFailure) {
  for (int s = 0; s < TODAY_MIN_FILLED; ++s) StoreWebDay(s, 10, 12, 9, 11, 100);
  WriteFileBytes(dir.path() + "/data", "a file where the folder should be");
  host.Answer(IDOK, "ダウンロード失敗");
  EXPECT_EQ(FinishTodayDownload(), 0);
  EXPECT_EQ(WebDayFileName[0], '\0');
  EXPECT_NE(host.boxes.at(0).text.find("のオープン失敗"), std::string::npos);
}

}  // namespace
