#include "net/backfill.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "chart/shown_stock.h"
#include "db/calendar_insert.h"
#include "db/database_file.h"
#include "db/record_io.h"
#include "db/record_repair.h"
#include "db/stock_code.h"
#include "db/trading_calendar.h"
#include "lists/favourites.h"
#include "lists/user_data.h"
#include "net/access_throttle.h"
#include "net/chart_json.h"
#include "net/database_build.h"
#include "net/download_settings.h"
#include "net/fetch_watch.h"
#include "net/history_pages.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/timed_download.h"
#include "net/token_list.h"
#include "net/web_symbol.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/progress.h"

const MillerChoice kMillerChoices[MILLER_CHOICE_COUNT] = {
    {"株価のみ　　　20日分(高速)（全ての銘柄  20分　　　　 ／表示銘柄のみ 3秒)", "過去20日分の株価を取得", 1, 0, 20},
    {"株価のみ　　　10年分(高速)（全ての銘柄  22時間　　　／表示銘柄のみ 5秒)", "過去10年分の株価を取得", 141, 0, 2841},
    {"信用残のみ　 80日分　　　　（全ての銘柄  35時間　　　／表示銘柄のみ 3秒)", "過去80日分の信用残を取得", 0, 1, 0},
    {"信用残のみ　 10年分　　　　（全ての銘柄  3日　　　　　 ／表示銘柄のみ 10秒)", "過去10年分の信用残を取得", 0, 56, 0},
    {"株価のみ　　　20日分　　　　（全ての銘柄  30分　　　　 ／表示銘柄のみ 3秒)",
     "過去20日分の株価を「みんかぶ」から取得。(高速)で取得できない場合にご利用下さい", 1, 0, 0},
    {"株価と信用残 10年分　　　　（全ての銘柄  18日　　　　 ／表示銘柄のみ 1分)",
     "過去10年分の株価、信用残を日本のYahoo!Financeから。(高速)で取得できない場合にご利用下さい", 141, 56, 0},
};

int32_t MillerDates[MAX_DATE];
int MillerCount = 0;
int BackfillLastScope = MILLER_ALL_STOCKS;

namespace {

constexpr const char* NIKKEI_SYMBOL = "998407.O";

// The run's clock and display.
struct RunView {
  DownloadProgress* progress = nullptr;
  int64_t start = 0;
  int total = 1;
  bool Step(int done) {
    if (!progress) return true;
    const int64_t elapsed = HostNow() - start;
    int64_t remaining = static_cast<int64_t>(total) * elapsed / std::max(done, 1) - elapsed;
    if (remaining < 0) remaining = 0;
    progress->ShowProgress(done, total, ProgressTimeText(elapsed).c_str(), ProgressTimeText(remaining).c_str());
    return !progress->CancelRequested();
  }
};

RunView g_view;

void StateChanged() {
  if (DownloadStateChangedHook) DownloadStateChangedHook();
}

struct SessionHold {
  InternetSession* session = nullptr;
  ~SessionHold() {
    if (hInternet == session) hInternet = nullptr;
    CloseInternet(session);
    fNoAccessCount = 0;
  }
};

std::string PortalUrl(const char* path) { return WebUrl(CurrentNetConfig().portal_url, path); }

}  // namespace

int GetYahooDate(int pages, DownloadProgress* progress) {
  const FetchWatch watch(progress);
  PRT("GetYahooDate: Start page_num=%d\n", pages);
  MillerCount = 0;
  RunView view{progress, HostNow(), pages};
  for (int page = 1; page <= pages; ++page) {
    if (!view.Step(page - 1)) break;
    char path[256];
    if (pages == 1)
      std::snprintf(path, sizeof path, "/quote/%s/history", NIKKEI_SYMBOL);
    else
      std::snprintf(path, sizeof path, "/quote/%s/history?from=20010605&to=20351229&timeFrame=d&page=%d",
                    NIKKEI_SYMBOL, page);
    const std::string url = PortalUrl(path);
    PRT("日経日付取得：%2d: %s\n", page, url.c_str());
    if (!DBmakeOpenURL(url.c_str())) {
      PRT("Yahoo10年で日経日付の取得でDBmakeOpenURL()が失敗\n");
      return 0;
    }
    bool table = false, full = false;
    int on_page = 0;
    for (int k = 0; !IsTokenEnd(PlaneToken(k)); ++k) {
      const char* tok = PlaneToken(k);
      if (!table) {
        table = std::strstr(tok, "始値") != nullptr;
        continue;
      }
      if (std::strstr(tok, "前へ") || std::strstr(tok, "次へ")) break;
      const int32_t date = ParseWebDate(tok, WEB_DATE_PORTAL);
      if (date < 0) continue;
      MillerDates[MillerCount++] = date;
      ++on_page;
      if (MillerCount >= MAX_DATE) {
        PRT("最大日数分まで取得完了\n");
        full = true;
        break;
      }
    }
    // A page without dates is past the end of the history: the later ones are empty too.
    if (full || on_page == 0) break;
  }
  PRT("GetYahooDate: End, 取得日数=%d\n", MillerCount);
  return 1;
}

int InsertMillerDates() {
  auto plan = std::make_unique<CalendarPlan>();
  PlanCalendarInsert(MillerDates, MillerCount, plan.get());
  if (!plan->Changed()) return 1;
  if (fDbMake) {
    // The regular database's build: nobody to ask, and only stock 0 holds prices yet.
    if (RewriteForCalendar(*plan)) return 1;
    PRT("%s\n", DbFailureText());
    return 0;
  }
  char text[1024];
  std::snprintf(text, sizeof text,
                "不足している %d 日分のデータを追加します。\n\n途中でダウンロードを中止した場合、\n"
                "不足している日のローソク足は最後の終値で統一されます。\n再度、ダウンロードを完全に行えば修正されます。\n\n"
                "今日のデータ、1日分のみが不足している場合は、\n「今日の株価をダウンロード」を実行した方が早く終わります。\n\n"
                "ダウンロードを継続しますか？",
                plan->new_days - plan->old_days + plan->trim);
  if (HostMessageBox(text, "不足株価データのダウンロード", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return 0;
  HostWaitOpen("不足分の株価を読み込むための準備をしています。\n1分ほどお待ち下さい。");
  const int ok = RewriteForCalendar(*plan, [](int) { HostPumpEvents(); });
  HostWaitClose();
  if (!ok) {
    HostMessageBox(DbFailureText(), "データベース更新失敗", MB_OK | MB_ICONERROR);
    return 0;
  }
  return 1;
}

int MergeWebHiashi(int stock_num, Hiashi* h) {
  // Only this stock's own record is merged into: a slot that cannot be read, or holds
  // another stock, is left alone.
  if (ReadRecordChecked(stock_num, h) != RecordRead::kOurs) {
    PRT("stock_num=%d のレコードを読めないので補充しません\n", stock_num);
    return 0;
  }
  auto before = std::make_unique<Hiashi>(*h);
  const int days = std::clamp(LastDate, 0, MAX_DATE);
  bool margin = false;
  // The page readers write a week's two balances together, and only from a row whose both
  // cells held numbers; a week without such a row is 0 and 0 here and keeps what is stored.
  for (int d = 0; d < days; ++d) {
    if (WebHiashi.margin_sell[d] == 0 && WebHiashi.margin_buy[d] == 0) continue;
    h->margin_sell[d] = WebHiashi.margin_sell[d];
    h->margin_buy[d] = WebHiashi.margin_buy[d];
    margin = true;
  }
  if (margin) h->flag |= FLAG_MARGIN;
  for (int d = 0; d < days; ++d) {
    if (!WebHiashi.open[d] || !WebHiashi.high[d] || !WebHiashi.low[d] || !WebHiashi.close[d]) continue;
    h->open[d] = WebHiashi.open[d];
    h->high[d] = WebHiashi.high[d];
    h->low[d] = WebHiashi.low[d];
    h->close[d] = WebHiashi.close[d];
    // The staging record holds 0 where no volume was read (an index, a row without the
    // column): a stored volume is never replaced by it.
    if (WebHiashi.deki[d] || !h->deki[d]) h->deki[d] = WebHiashi.deki[d];
  }
  int first = -1, last = -1;
  for (int d = 0; d < days; ++d)
    if (h->close[d]) {
      if (first < 0) first = d;
      last = d;
    }
  if (first < 0) {
    PRT("データが存在しない。未登録。%s(%d),stock_num=%d\n", fundamental[stock_num].name, fundamental[stock_num].code,
        stock_num);
    h->end = days - 1;
    h->start = days;
  } else {
    h->start = first;
    h->end = last;
    h->flag &= ~FLAG_NO_PRICES;
    RepairFetchedRecord(h, nikkei_date, days);
  }
  return std::memcmp(before.get(), h, sizeof *h) != 0 ? 1 : 0;
}

int Yahoo10years(DownloadProgress* progress, int scope, int price_pages, int margin_pages, int choice,
                 int chart_days) {
  const FetchWatch watch(progress);  // Cancel is heard during a slow page too
  PRT("Yahoo10years: 表示のみ=%d, 株価回数=%d,信用残回数=%d\n", scope == MILLER_SHOWN_STOCK ? 1 : 0, price_pages,
      margin_pages);
  if (choice < 0 || choice >= MILLER_CHOICE_COUNT || LastKabu <= 0) return 0;
  long start_clock = 0;
  SessionHold hold;
  hold.session = OpenInternet(&start_clock);
  if (!hold.session) return 0;
  hInternet = hold.session;
  PRT("InternetOpen() End... %d/s\n", static_cast<int>((ProcessClockMs() - start_clock) / 1000));
  g_view = RunView{progress, HostNow(), 1};

  int first = 0, last = LastKabu - 1;
  if (scope == MILLER_SHOWN_STOCK) {
    first = last = std::clamp(DispNum, 0, LastKabu - 1);
  } else if (scope == MILLER_ALL_STOCKS) {
    const int p = Restart[choice];
    if (p > 0 && p < LastKabu && p != LastKabu - 1) {
      char text[512];
      std::snprintf(text, sizeof text,
                    "前回の続き %.1f ％から再開しますか？\n\n\n　「はい」　　・・・・続きから再開します。\n\n"
                    "　「いいえ」　・・・・最初から取得しなおします。\n\n　「キャンセル」・・取得を行いません。",
                    p * 100.0 / LastKabu);
      const int answer = HostMessageBox(text, "前回の続きから再開", MB_YESNOCANCEL | MB_ICONQUESTION);
      if (answer == IDCANCEL) return 0;
      first = answer == IDYES ? p : 0;
    }
  }

  PRT("ＤＢ上に存在しない日付があるかチェック\n");
  if (price_pages > 0) {
    if (GetYahooDate(price_pages, fDbMake ? nullptr : progress) != 1) return 0;
    if (InsertMillerDates() != 1) return 0;
  }
  int32_t last_date = 0;
  LastTradingDay(&last_date);
  PRT("Yahoo10years：日経日付 nikkei_date[LastDate-1]=%d\n", last_date);
  if (LastDate <= 0) return 0;

  const bool favourites = scope == MILLER_FAVOURITES;
  const int pages_total = price_pages + margin_pages;
  g_view.total = scope == MILLER_SHOWN_STOCK ? std::max(pages_total, 1) : LastKabu;
  int pages_done = 0;
  auto buffer = std::make_unique<Hiashi>();
  const bool history_only = chart_days == 0;

  for (int s = first; s <= last; ++s) {
    if (IsAccessBlocked()) {
      if (fDbMake) {
        // The build does not wait out the rest: the back-fill completes the database later.
        PRT("アクセス規制のためデータベース作成のダウンロードを終了します\n");
        break;
      }
      if (RunCountDown(COUNT_DOWN_REST) != 1) break;  // the resume position stays
      ResetAccessCount();
    }
    if (scope == MILLER_ALL_STOCKS) {
      Restart[choice] = s;
      StateChanged();
    }
    const Fundamental& f = fundamental[s];
    if ((f.flag & FLAG_DELISTED) && !(f.flag & FLAG_INDEX) && scope != MILLER_SHOWN_STOCK) {
      PRT("倒産：インターネットアクセスなし。 %d %s\n", f.code, f.name);
      continue;
    }
    if (favourites) {
      if (!IsTyumoku(f.code)) continue;
      PRT("お気に入りに登録なので更新。%d\n", f.code);
    }
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    if (fDbMake) {
      if (DbMakeProgress(s, g_view.start)) break;
    } else if (!g_view.Step(scope == MILLER_SHOWN_STOCK ? pages_done : s)) {
      PRT("途中でキャンセル\n");
      break;
    }
    const char* world = f.code >= 1020 && f.code <= 1035 ? WorldIndexName(f.code) : nullptr;
    const WebSymbolText symbol = world ? WebSymbolText{} : WebSymbol(f.code, f.market);
    int32_t from = nikkei_date[0], to = last_date;
    if (choice == MILLER_CHOICE_FULL && scope == MILLER_ALL_STOCKS) {
      if (ReadRecordChecked(s, buffer.get()) == RecordRead::kOurs && buffer->end != 0) {
        if (buffer->start <= 0) continue;  // its history is complete
        to = nikkei_date[std::min(buffer->start, MAX_DATE) - 1];
      }
    }
    if ((f.code == 1001 || f.code == 1002) && price_pages > 0) GetNikkeiVolume(s);

    bool cancelled = false;
    if (world) {
      GetChartHistory(world, s, 1, MAX_DATE);
    } else if (chart_days != 0 && !IsQuotePageSymbol(f.code, symbol.c_str())) {
      GetChartHistory(symbol.c_str(), s, 0, chart_days);
    } else if (fDbMake && std::strstr(symbol.c_str(), ".N")) {
      // Nagoya listings have no history pages to build from.
      PRT("名証銘柄は履歴ページがないため株価なし %d %s\n", f.code, f.name);
    } else {
      for (int page = 1; page <= price_pages; ++page) {
        if (scope == MILLER_SHOWN_STOCK && !g_view.Step(pages_done)) {
          cancelled = true;
          break;
        }
        ++pages_done;
        std::string url;
        int format = WEB_DATE_PORTAL;
        char path[512];
        if (choice == MILLER_CHOICE_DAILY_BAR && f.code >= 1300) {
          std::snprintf(path, sizeof path, "/stock/%s/daily_bar", Code_to_String(f.code).c_str());
          url = WebUrl(CurrentNetConfig().stock_info_url, path);
          format = WEB_DATE_DAILY_BAR;
          PRT("みんかぶ（１ページ取得)：%s\n", url.c_str());
        } else {
          if (choice == MILLER_CHOICE_DAILY_BAR)
            std::snprintf(path, sizeof path, "/quote/%s/history", symbol.c_str());
          else
            std::snprintf(path, sizeof path, "/quote/%s/history?from=%d&to=%d&timeFrame=d&page=%d", symbol.c_str(),
                          from, to, page);
          url = PortalUrl(path);
          PRT("Yahoo10株価(株式フォーマット)：%s\n", url.c_str());
        }
        // The other portal's pages do not count against the portal's throttle.
        fNoAccessCount = format == WEB_DATE_DAILY_BAR ? 1 : 0;
        const int opened = DBmakeOpenURL(url.c_str());
        fNoAccessCount = 0;
        if (!opened || !DBmakeConvert(s, format)) break;
      }
      for (int page = 1; history_only && !cancelled && page <= margin_pages; ++page) {
        if (scope == MILLER_SHOWN_STOCK && !g_view.Step(pages_done)) {
          cancelled = true;
          break;
        }
        ++pages_done;
        char path[512];
        std::snprintf(path, sizeof path, "/quote/%s/history?styl=margin&page=%d", symbol.c_str(), page);
        const std::string url = PortalUrl(path);
        PRT("Yahoo10信用(株式フォーマット)：%s\n", url.c_str());
        if (!DBmakeOpenURL(url.c_str()) || !MarginConvert(s)) break;
      }
    }
    if (MergeWebHiashi(s, buffer.get())) {
      if (WriteRecord(s, buffer.get())) {
        PRT("Yahoo!取得補完 %d %s(%d) DB ph->start_date %d  ph->end_date %d\n", f.code, f.name, s, buffer->start,
            buffer->end);
        if (RecordMergedHook) RecordMergedHook(s, *buffer);
      }
    }
    if (cancelled) {
      PRT("途中でキャンセル\n");
      break;
    }
  }
  if (scope == MILLER_SHOWN_STOCK) g_view.Step(pages_total);
  PRT("DownLoad %s\n", ProgressTimeText(HostNow() - g_view.start).c_str());
  return 1;
}

int RunBackfill(DownloadProgress* progress, int scope, int choice) {
  if (choice < 0 || choice >= MILLER_CHOICE_COUNT) choice = 0;
  if (scope != MILLER_SHOWN_STOCK) PRT("fMillerOnlyFavorite %d\n", scope == MILLER_FAVOURITES ? 1 : 0);
  WebMillerSelect = choice;
  BackfillLastScope = scope;
  const MillerChoice& c = kMillerChoices[choice];
  const int result = Yahoo10years(progress, scope, c.price_pages, c.margin_pages, choice, c.chart_days);
  if (result == 0) HostMessageBox("不足分の株価ダウンロードを中止しました\n", "ダウンロード中止", MB_OK);
  return result;
}

void BackfillCommand() {
  if (BackfillDialog) {
    BackfillDialog();
    return;
  }
  RunBackfill(nullptr, MILLER_SHOWN_STOCK, WebMillerSelect);
}
