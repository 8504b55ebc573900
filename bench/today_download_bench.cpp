// Today's download: reading a 200 KB chart JSON document and a quote page beside a memcpy
// of the same bytes, and the whole run over 4000 stocks on the loopback HTTPS server
// (requests, parsing, day file) through both transports, beside plain fetches of the same
// documents measured in the same run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/chart_json.h"
#include "net/download_settings.h"
#include "net/https_client.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/quote_page.h"
#include "net/today_download.h"
#include "net/tokyo_time.h"
#include "platform/working_folder.h"
#include "support/loopback_https_server.h"
#include "support/test_pki.h"
#include "support/today_pages.h"

namespace {

constexpr int kStocks = 4000;

std::string ChartDocument200KB() {
  // Prices with four decimals, as the interface sends adjusted values: about 200 KB.
  std::string ts, o, h, l, c, v;
  for (int i = 0; i < CHART_DAYS_MAX; ++i) {
    const char* sep = i ? "," : "";
    const int64_t close = 1000 + i % 97;
    ts += sep + std::to_string(1500000000 + 86400LL * i);
    o += sep + std::to_string(close - 3) + ".2500";
    h += sep + std::to_string(close + 5) + ".7500";
    l += sep + std::to_string(close - 7) + ".1250";
    c += sep + std::to_string(close) + ".6250";
    v += sep + std::to_string(12345000 + i);
  }
  return ChartJson("7203.T", ts, o, h, l, c, v);
}

std::string QuotePage200KB() {
  QuoteFigures figures;
  figures.open = "2,845";
  figures.high = "2,870";
  figures.low = "2,830";
  figures.close = "2,860";
  figures.volume = "12,345,600";
  std::string page = QuotePage(figures);
  std::string filler;
  while (filler.size() < 200000)
    filler += "<div class=\"news\"><a href=\"/news/1\">ニュース見出しの例です</a><span>12/10 15:00</span></div>\n";
  return filler + page;
}

void BM_ChartJson200KB(benchmark::State& state) {
  const std::string doc = ChartDocument200KB();
  static int64_t o[CHART_DAYS_MAX], h[CHART_DAYS_MAX], l[CHART_DAYS_MAX], c[CHART_DAYS_MAX], t[CHART_DAYS_MAX],
      v[CHART_DAYS_MAX];
  std::memcpy(HttpBuf, doc.data(), doc.size() + 1);
  HttpBufLen = static_cast<int>(doc.size());
  for (auto _ : state) {
    const int n = ReadChartArrays(o, h, l, c, t, v, CHART_DAYS_MAX, 1);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(doc.size()));
  state.counters["bytes"] = static_cast<double>(doc.size());
}
BENCHMARK(BM_ChartJson200KB);

void BM_QuotePage200KB(benchmark::State& state) {
  const std::string page = QuotePage200KB();
  for (auto _ : state) {
    std::memcpy(HttpBuf, page.data(), page.size() + 1);
    HttpBufLen = static_cast<int>(page.size());
    ReduceHtml(HttpBufLen);
    Utf8_to_Ansi(PageText, HTTP_BUF_SIZE);
    const QuotePrices p = ParseQuotePrices(PageText, HttpBuf, 7203, 1);
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_QuotePage200KB);

// The baseline of both: copying the same bytes.
void BM_Memcpy200KB(benchmark::State& state) {
  const std::string doc = ChartDocument200KB();
  for (auto _ : state) {
    std::memcpy(HttpBuf, doc.data(), doc.size() + 1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_Memcpy200KB);

// 4000 marked stocks, every 50th from the quote page, the probe dated today.
struct Loopback {
  loopback::HttpsServer server;
  std::vector<std::string> chart_paths;
  std::string folder;

  Loopback() {
    NetConfig& config = CurrentNetConfig();
    config.ca_file = loopback::HttpsServer::CaFile();
    for (const char* host : kTestHosts) config.connect_to.push_back({host, "127.0.0.1", server.port()});
    config.portal_url = "https://portal.test";
    config.chart_url = "https://chart.test";
    init_winsock();
    char temp[] = "/tmp/today_bench.XXXXXX";
    folder = mkdtemp(temp);
    SetCurrentDir(folder.c_str());
    TokyoTime now{};
    TokyoTimeOf(std::time(nullptr), &now);
    char date[8];
    std::snprintf(date, sizeof date, "%02d/%02d", now.month, now.day);
    LastDate = 1;
    nikkei_date[0] = 20200101;
    LastKabu = kStocks;
    WebProbeCode = 1300;
    fTimedDownload = 1;
    const std::string ts = std::to_string(std::time(nullptr));
    for (int k = 0; k < kStocks; ++k) {
      Fundamental& f = fundamental[k];
      std::memset(&f, 0, sizeof f);
      f.code = 1300 + k;
      std::snprintf(f.name, sizeof f.name, "銘柄%d", k);
      f.market = static_cast<int8_t>(k % 50 == 25 ? 5 : 1);
      f.flag = FLAG_DAILY_DOWNLOAD;
      const std::string code = Code_to_String(f.code).c_str();
      QuoteFigures q;
      q.time_text = q.limit_date = date;
      q.open = "1,000";
      q.high = "1,010";
      q.low = "990";
      q.close = "1,005";
      q.volume = "123,400";
      loopback::Reply page;
      page.body = QuotePage(q);
      if (k == 0 || f.market == 5) server.Route(QuotePath(code + (f.market == 5 ? ".N" : ".T")), page);
      if (f.market == 5) continue;
      loopback::Reply json;
      json.body = ChartJson(code + ".T", ts, "1000", "1010", "990", "1005", "123400");
      server.Route(ChartPath(code + ".T"), json);
      chart_paths.push_back(ChartPath(code + ".T"));
    }
  }
};

Loopback& Setup() {
  static Loopback* l = new Loopback;
  return *l;
}

void RunDownload(benchmark::State& state, int wininet) {
  Loopback& l = Setup();
  CurrentNetConfig().wininet = wininet;
  for (auto _ : state) {
    ClearWebDayTable();
    const int r = RunTodayDownload(nullptr);
    if (r != 1) state.SkipWithError(TodayDownloadFailure());
  }
  state.counters["stocks"] = kStocks;
  state.counters["filled"] = CountWebDayFilled();
  (void)l;
}
void BM_TodayDownload4000_OwnClient(benchmark::State& state) { RunDownload(state, 0); }
void BM_TodayDownload4000_KeepAlive(benchmark::State& state) { RunDownload(state, 1); }
BENCHMARK(BM_TodayDownload4000_OwnClient)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TodayDownload4000_KeepAlive)->Iterations(1)->Unit(benchmark::kMillisecond);

// The baseline: the same chart documents fetched one after another, nothing parsed.
void RunFetches(benchmark::State& state, int wininet) {
  Loopback& l = Setup();
  CurrentNetConfig().wininet = wininet;
  for (auto _ : state) {
    long start = 0;
    hInternet = OpenInternet(&start);
    for (const std::string& path : l.chart_paths) GetHttpFile(("https://chart.test" + path).c_str());
    CloseInternet(hInternet);
    hInternet = nullptr;
  }
  state.counters["fetches"] = static_cast<double>(l.chart_paths.size());
}
void BM_PlainFetches_OwnClient(benchmark::State& state) { RunFetches(state, 0); }
void BM_PlainFetches_KeepAlive(benchmark::State& state) { RunFetches(state, 1); }
BENCHMARK(BM_PlainFetches_OwnClient)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFetches_KeepAlive)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
