#include "net/today_download.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "db/packed_value.h"
#include "db/stock_code.h"
#include "net/chart_json.h"
#include "net/download_settings.h"
#include "net/fetch_watch.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/quote_page.h"
#include "net/tokyo_time.h"
#include "net/web_symbol.h"
#include "platform/clock.h"
#include "platform/diagnostics.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/progress.h"
#include "platform/working_folder.h"

WebDayEntry WebDayTable[WEB_DAY_TABLE_SIZE];
int32_t WebDate = 0;
int32_t WebTime = 0;
char WebDayFileName[512] = "";
int fTimedDownload = 0;

namespace {

char g_failure[768] = "";
bool g_unreachable = false;         // the last run's date probe got no answer at all
bool g_first_intraday_hint = true;  // the hint after a download during trading, once per run
int g_quote_count = 0;              // quote pages parsed in this run (the log's counter)

void Fail(const char* text) { std::snprintf(g_failure, sizeof g_failure, "%s", text); }

// What a packed value holds: a larger price or volume would be stored saturated.
bool InEntryRange(int64_t v) { return v >= 0 && v <= PACKED_MAX_VALUE; }

}  // namespace

const char* TodayDownloadFailure() { return g_failure; }
bool TodayDownloadUnreachable() { return g_unreachable; }

void ClearWebDayTable() { std::memset(WebDayTable, 0, sizeof WebDayTable); }

int StoreWebDay(int stock_num, int64_t start, int64_t max, int64_t min, int64_t end, int64_t deki) {
  if (stock_num < 0 || stock_num >= LastKabu || stock_num >= WEB_DAY_TABLE_SIZE) return 0;
  if (start == 0 && max == 0 && min == 0 && end == 0) return 0;  // the page gave no prices
  if (!InEntryRange(start) || !InEntryRange(max) || !InEntryRange(min) || !InEntryRange(end) ||
      !InEntryRange(deki)) {
    PRT("値が範囲外 %d: %lld,%lld,%lld,%lld,%lld\n", fundamental[stock_num].code, static_cast<long long>(start),
        static_cast<long long>(max), static_cast<long long>(min), static_cast<long long>(end),
        static_cast<long long>(deki));
    return 0;
  }
  WebDayEntry& e = WebDayTable[stock_num];
  if (e.code != 0 && static_cast<uint32_t>(deki) <= e.deki) return 0;
  e.code = fundamental[stock_num].code;
  std::memcpy(e.name, fundamental[stock_num].name, sizeof e.name);
  e.name[sizeof e.name - 1] = '\0';
  e.start = static_cast<int32_t>(start);
  e.max = static_cast<int32_t>(max);
  e.min = static_cast<int32_t>(min);
  e.end = static_cast<int32_t>(end);
  e.deki = static_cast<uint32_t>(deki);
  return 1;
}

namespace {

// Steps 6 to 9 of the date probe: the year, the question while trading may not be over, and
// WebDate. Returns 2, or 0 when the run must stop.
int SetWebDate(const QuoteDate& q) {
  const TokyoTime now = TokyoNow();
  if (now.year == 0) {
    FatalAt(__FILE__, __LINE__);
    Fatal("コンピュータの日付がおかしい\n");
  }
  int year = now.year;
  if (q.assumed) {
    const int last_month = LastDate > 0 ? nikkei_date[LastDate - 1] / 100 % 100 : 0;
    if (q.month == 12 && last_month == 12 && now.month == 1) {
      PRT("12月のデータでVURN内部が12月、内部日付が1月なので年を減らすyear=%d, ---> %d\n", year, year - 1);
      --year;
    }
  } else {
    if (q.hour * 100 + q.minute < 1530 || now.hour == 15) {
      char text[512];
      std::snprintf(text, sizeof text,
                    "株価の最終時刻 %d年%02d月%02d日 %02d時%02d分\n\n取得できる株価は15分ほど遅延があります。\n"
                    "16時00分までお待ち下さい\n\n\n強制的に現在の株価をダウンロードしますか？\n",
                    year, q.month, q.day, q.hour, q.minute);
      PRT("%s", text);
      if (fTimedDownload) {
        PRT("まだ取引が終了していない。中止します...\n");
        Fail("まだ取引が終了していません");
        return 0;
      }
      if (HostMessageBox(text, "まだ取引が終了していません", MB_OKCANCEL | MB_DEFBUTTON2) != IDOK) {
        Fail("まだ取引が終了していません");
        return 0;
      }
      if (g_first_intraday_hint) {
        g_first_intraday_hint = false;
        HostMessageBox("再度更新する場合は\n「株価データの削除」の「日付のみを指定して削除」\nで今日のデータをいったん削除して下さい。",
                       "ザラ場での株価データ更新", MB_OK);
      }
    }
    PRT("hour = %d, tm_hour=%d, >> %s\n", q.hour, now.hour, q.time_line);
  }
  WebDate = (year * 100 + q.month) * 100 + q.day;
  WebTime = q.hour * 100 + q.minute;
  PRT("\nWebDate=%d, %d,%d,%d,  WebTime=%04d\n\n", WebDate, year, q.month, q.day, WebTime);
  return 2;
}

}  // namespace

int GetQuotePage(int stock_num, int mode) {
  if (stock_num < 0 || stock_num >= LastKabu) return 0;
  if (mode == 0 && WebDayTable[stock_num].code != 0) return 0;
  const Fundamental& f = fundamental[stock_num];
  if (WorldIndexName(f.code)) return 0;
  const WebSymbolText symbol = WebSymbol(f.code, f.market);
  const std::string url = WebUrl(CurrentNetConfig().portal_url, std::string("/quote/") + symbol.c_str());
  if (!GetHttpFile(url.c_str())) return 0;
  Utf8_to_Ansi(PageText, HTTP_BUF_SIZE);
  if (mode == 1) {
    QuoteDate q;
    if (!ParseQuoteDate(PageText, &q)) return 0;
    return SetWebDate(q);
  }
  const int scale = IsHundredthsCode(f.code) ? 100 : 1;
  const QuotePrices p = ParseQuotePrices(PageText, HttpBuf, f.code, scale);
  PRT("%d:%-12s,%5d %6lld,%6lld,%6lld,%6lld,%9lld,ETF=%d,e0=%d,e=c=%d\n", ++g_quote_count, f.name, f.code,
      static_cast<long long>(p.open), static_cast<long long>(p.high), static_cast<long long>(p.low),
      static_cast<long long>(p.close), static_cast<long long>(p.volume), 0, p.close == 0 && p.open != 0,
      p.close == f.code);
  return StoreWebDay(stock_num, p.open, p.high, p.low, p.close, p.volume);
}

namespace {

struct SessionHold {
  InternetSession* session = nullptr;
  ~SessionHold() {
    if (hInternet == session) hInternet = nullptr;
    CloseInternet(session);
  }
};

void ShowProgress(DownloadProgress* progress, int done, long start_clock) {
  if (!progress) return;
  const int64_t elapsed = (ProcessClockMs() - start_clock) / 1000;
  const std::string e = ProgressTimeText(elapsed);
  const std::string r = ProgressTimeText(ProgressRemaining(elapsed, done, LastKabu));
  progress->ShowProgress(done, LastKabu, e.c_str(), r.c_str());
}

// One stock from the chart interface; falls back to the quote page for an inconsistent bar.
enum ChartOutcome { CHART_NONE, CHART_STORED, CHART_INCONSISTENT };
ChartOutcome ChartDay(int stock_num, const char* symbol) {
  const Fundamental& f = fundamental[stock_num];
  char path[256];
  std::snprintf(path, sizeof path, "/v8/finance/chart/%s?range=1d&interval=1d&events=split%%7Cdiv", symbol);
  const std::string url = WebUrl(CurrentNetConfig().chart_url, path);
  if (!GetHttpFile(url.c_str())) return CHART_NONE;
  int64_t o = 0, h = 0, l = 0, c = 0, ts = 0, v = 0;
  const int scale = IsHundredthsCode(f.code) ? 100 : 1;
  ReadChartArrays(&o, &h, &l, &c, &ts, &v, 1, scale);
  int32_t date = 0;
  TokyoTime t{};
  const bool dated = TokyoTimeOf(ts, &t) && TokyoDateOfTimestamp(ts, &date);
  PRT("%04d-%02d-%02d, %02d-%02d-%02d:", t.year, t.month, t.day, t.hour, t.minute, t.second);
  PRT("%.20s,%5lld,%5lld,%5lld,%5lld,%lld,%8lld\n", HttpBuf, static_cast<long long>(o), static_cast<long long>(h),
      static_cast<long long>(l), static_cast<long long>(c), static_cast<long long>(v), static_cast<long long>(ts));
  if (o == 0 || h == 0 || l == 0 || c == 0) return CHART_NONE;  // no trade today
  // A bar of another day (the interface still serving yesterday) is not today's price.
  if (!dated || date != WebDate) {
    PRT("日付が違う足=%5d, %d (WebDate=%d)\n", f.code, dated ? date : 0, WebDate);
    return CHART_NONE;
  }
  if (h >= l && h >= o && h >= c && l <= o && l <= c) {
    return StoreWebDay(stock_num, o, h, l, c, v) ? CHART_STORED : CHART_NONE;
  }
  PRT("並びが変=%5d,start=%4lld,max=%4lld,min=%4lld,end=%4lld,deki=%lld\n", f.code, static_cast<long long>(o),
      static_cast<long long>(h), static_cast<long long>(l), static_cast<long long>(c), static_cast<long long>(v));
  return CHART_INCONSISTENT;
}

}  // namespace

int DownloadToday(DownloadProgress* progress) {
  const FetchWatch watch(progress);  // Cancel is heard during a slow page too
  g_failure[0] = '\0';
  g_quote_count = 0;
  long start_clock = 0;
  SessionHold hold;
  hold.session = OpenInternet(&start_clock);
  if (!hold.session) {
    Fail("インターネットに接続できません");
    return 0;
  }
  hInternet = hold.session;
  PRT("InternetOpen() End... %d/s\n", static_cast<int>((ProcessClockMs() - start_clock) / 1000));
  ShowProgress(progress, 0, start_clock);
  PrintNow();
  WebDate = 0;
  WebTime = 0;

  const int probe = Code_to_StockNum(WebProbeCode);
  if (probe < 0) {
    PRT("日付確認の銘柄 %d が銘柄表にありません\n", WebProbeCode);
    Fail("日付確認の銘柄が銘柄表にありません");
    return 0;
  }
  g_unreachable = false;
  if (GetQuotePage(probe, 1) != 2) {
    // No answer at all (no network, the site down) is not a page the reader failed to read.
    g_unreachable = !g_failure[0] && HttpStatus == 0 && HttpBuf[0] == '\0';
    if (g_unreachable) Fail("株価のサイトに接続できません。ネットワークの接続を確かめてください");
    if (!g_failure[0]) Fail("日付の取得に失敗しました");
    return 0;
  }
  if (WebDate == 0) {
    PRT("日付の取得に失敗しました\n");
    Fail("日付の取得に失敗しました");
    return 0;
  }
  char date_text[64];
  std::snprintf(date_text, sizeof date_text, "%d年%02d月%02d日", WebDate / 10000, WebDate / 100 % 100, WebDate % 100);
  if (progress) progress->ShowText(date_text);
  if (LastDate > 0 && WebDate <= nikkei_date[LastDate - 1]) {
    if (fTimedDownload) PRT("古いデータを落とそうとしています・・・中止\n");
    else HostMessageBox("古いデータを落とそうとしています\n中止します", date_text, MB_OK);
    Fail("この日の株価は既にデータベースにあります");
    return 0;
  }

  int api = 0, one = 0, hen = 0;
  for (int s = 0; s < LastKabu; ++s) {
    const Fundamental& f = fundamental[s];
    if (!(f.flag & FLAG_DAILY_DOWNLOAD)) continue;
    if (progress && progress->CancelRequested()) {
      PRT("途中で止めるのね\n");
      Fail("中止しました");
      return 0;
    }
    ShowProgress(progress, s, start_clock);
    if (WorldIndexName(f.code)) continue;  // world indices come from the back-fill only
    const WebSymbolText symbol = WebSymbol(f.code, f.market);
    if (IsQuotePageSymbol(f.code, symbol.c_str())) {
      one += GetQuotePage(s, 0);
      continue;
    }
    switch (ChartDay(s, symbol.c_str())) {
      case CHART_STORED: ++api; break;
      case CHART_INCONSISTENT:
        ++hen;
        one += GetQuotePage(s, 0);
        break;
      case CHART_NONE: break;
    }
  }
  PRT("Yahoo! all=%d (API=%d,One=%d,hen=%d)\n", api + one, api, one, hen);
  PrintNow();
  PRT("DownLoad時間=%d秒\n", static_cast<int>((ProcessClockMs() - start_clock) / 1000));
  return 1;
}

int CountWebDayFilled() {
  int n = 0;
  for (const WebDayEntry& e : WebDayTable)
    if (e.code != 0) ++n;
  return n;
}

void SetIndexVolumes() {
  uint64_t sum = 0;
  for (int s = 0; s < LastKabu && s < WEB_DAY_TABLE_SIZE; ++s)
    if (WebDayTable[s].code != 0 && fundamental[s].market == 1) sum += WebDayTable[s].deki;
  PRT("東証１部の売買高=%.3f(万株)\n", static_cast<double>(sum) / 10000.0);
  const uint32_t volume = static_cast<uint32_t>(std::min<uint64_t>(sum / 10000, UINT32_MAX));
  WebDayTable[0].deki = volume;
  WebDayTable[1].deki = volume;
}

namespace {

// The volume in thousands of shares: "%.3f" without trailing zeros and point.
void ThousandsText(uint32_t deki, char* buf, size_t size) {
  const unsigned whole = deki / 1000, part = deki % 1000;
  if (part == 0) {
    std::snprintf(buf, size, "%u", whole);
    return;
  }
  std::snprintf(buf, size, "%u.%03u", whole, part);
  size_t n = std::strlen(buf);
  while (buf[n - 1] == '0') buf[--n] = '\0';
}

// The name as one field: blanks, tabs and commas (field separators of the reader) become
// "_" (CP932 trail bytes are never below 0x40, so a byte test is safe); an empty name "_".
std::string NameField(const char* name) {
  std::string s(name, strnlen(name, 32));
  for (char& c : s)
    if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') c = '_';
  return s.empty() ? "_" : s;
}

int WriteFailed(const std::string& path, int error) {
  char text[700];
  std::snprintf(text, sizeof text, "%s のオープン失敗。\n", path.c_str());
  PRT("%s", text);
  if (error) PRT("%s\n", std::strerror(error));
  if (!fTimedDownload) HostMessageBox(text, "ダウンロード失敗", MB_OK | MB_ICONERROR);
  Fail(text);
  WebDayFileName[0] = '\0';
  return 0;
}

}  // namespace

int WriteWebDayFile() {
  const std::string folder = DataFilePath("data");
  char name[32];
  std::snprintf(name, sizeof name, "data/y%06d.txt", WebDate % 1000000);
  const std::string path = DataFilePath(name);
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 && ::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    return WriteFailed(path, errno);
  // Ascending code order, the first entry of each code, codes 1000 to 43629.
  std::vector<int> order;
  for (int s = 0; s < WEB_DAY_TABLE_SIZE; ++s)
    if (WebDayTable[s].code >= 1000 && WebDayTable[s].code <= CODE_MAX) order.push_back(s);
  std::stable_sort(order.begin(), order.end(),
                   [](int a, int b) { return WebDayTable[a].code < WebDayTable[b].code; });
  std::string text = std::to_string(WebDate) + "\n";
  char line[256], volume[32];
  int32_t previous = 0;
  for (int s : order) {
    const WebDayEntry& e = WebDayTable[s];
    if (e.code == previous) continue;
    previous = e.code;
    ThousandsText(e.deki, volume, sizeof volume);
    std::snprintf(line, sizeof line, "%s\t%s\t%d\t%d\t%d\t%d\t%s\n", Code_to_String(e.code).c_str(),
                  NameField(e.name).c_str(), e.start, e.max, e.min, e.end, volume);
    text += line;
  }
  FileReplace r;
  if (!FileReplaceBegin(&r, path) || !FileReplaceWrite(&r, text.data(), text.size()) || !FileReplaceCommit(&r)) {
    const int error = r.error;
    if (r.fd >= 0) FileReplaceAbort(&r);
    return WriteFailed(path, error);
  }
  std::snprintf(WebDayFileName, sizeof WebDayFileName, "%s", path.c_str());
  PRT("%s に %d 銘柄を書き込みました\n", path.c_str(), static_cast<int>(order.size()));
  return 1;
}

int RunTodayDownload(DownloadProgress* progress) {
  WebDayFileName[0] = '\0';
  if (DownloadToday(progress) != 1) {
    if (!fTimedDownload) HostMessageBox("株価のダウンロードは中止しました\n", "ダウンロード中止", MB_OK);
    return 0;
  }
  return FinishTodayDownload();
}

int FinishTodayDownload() {
  WebDayFileName[0] = '\0';
  g_failure[0] = '\0';
  const int filled = CountWebDayFilled();
  if (filled < TODAY_MIN_FILLED) {
    PRT("有効数=%d,総数=%d\n", filled, LastKabu);
    if (!fTimedDownload) HostMessageBox("取得できた株数が少ないので中止しました\n", "ダウンロード失敗", MB_OK);
    char text[128];
    std::snprintf(text, sizeof text, "取得できた株数が少ないので中止しました (%d/%d)", filled, LastKabu);
    Fail(text);
    return 0;
  }
  SetIndexVolumes();
  return WriteWebDayFile();
}
