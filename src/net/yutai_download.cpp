#include "net/yutai_download.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/download_progress.h"
#include "net/fetch_watch.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "net/token_list.h"
#include "net/yutai_table.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/web_url.h"

InternetSession* hYutaiInternet = nullptr;
int yutai_num = -1;

namespace {

// The run fills its own table; the one the list shows is replaced only on success.
Yutai g_new[YUTAI_MAX_KABU];
bool g_full_logged = false;

bool Contains(const char* token, const char* part) { return Cp932Find(token, part) != std::string::npos; }

bool IsNotFoundPage() {
  for (int i = 0; i < nYuPlaneBUF; ++i)
    if (Contains(YuPlaneBUF[i], "ページが見つかりませんでした")) return true;
  return false;
}

}  // namespace

int YutaiFetch(const char* url) {
  nYuPlaneBUF = 0;
  std::memcpy(YuPlaneBUF[0], TOKEN_END, sizeof TOKEN_END);
  if (!FetchHttpBody(url, hYutaiInternet)) return 0;
  if (HttpStatus >= 400) {
    PRT("HTTP %d %s\n", HttpStatus, url);
    return 0;
  }
  static char page[YuHttpBuf_SIZE + 1];
  Cp932CopyTruncated(page, YuHttpBuf_SIZE, HttpBuf);  // a longer page is cut, not fatal
  Utf8_to_Ansi(page, sizeof page);
  TokeniseYutai(page);
  if (IsNotFoundPage()) {
    PRT("株主優待のページが見つかりませんでした。\n");
    return 0;
  }
  return 1;
}

int ParseYutaiPage() {
  int result = 0;
  for (int e = 0; e < nYuPlaneBUF && e < YuPlaneBUF_NUM;) {
    const char* t = YuPlaneToken(e);
    if (Contains(t, "選択された条件では見つかりませんでした")) {
      PRT("株主優待　全ページ読み込み終了\n");
      return 0;
    }
    if (Contains(t, "優待利回り算出に使用する優待内容") || Contains(t, "キーワードと条件から") ||
        Contains(t, "カテゴリ別人気ランキングから探す"))
      return result;
    if (Contains(t, "ページが見つかりませんでした")) {
      PRT("株主優待のページが見つかりませんでした。\n");
      return result;
    }
    if (IsTokenEnd(t)) return result;
    // The code stands in the 4 bytes before the token's last byte: "(7203)".
    const size_t len = std::strlen(t);
    char code_text[5] = "";
    if (len > 4) {
      std::memcpy(code_text, t + len - 5, 4);
      code_text[4] = '\0';
    }
    const int32_t code = code_text[0] ? String_to_Code(code_text) : 0;
    if (code < 1301 || code > 43629 || Contains(t, "件中") || std::strcmp(YuPlaneToken(e + 1), "位") == 0) {
      ++e;
      continue;
    }
    const int stock = Code_to_StockNum(code);
    if (stock <= 0) {
      ++e;
      continue;
    }
    if (yutai_num + 1 >= YUTAI_MAX_KABU) {
      if (!g_full_logged) PRT("株主優待 %d件で打ち切り\n", YUTAI_MAX_KABU);
      g_full_logged = true;
      return result;
    }
    Yutai& y = g_new[++yutai_num];
    y.code = code;
    Cp932CopyTruncated(y.name, sizeof y.name, fundamental[stock].company);
    y.bunrui = 0;
    result = 1;
    int j = 0;
    for (; j < 16; ++j) {
      const char* kinds = YuPlaneToken(e + 2 + j);
      for (int k = 1; k < YUTAI_KIND_COUNT; ++k)
        if (Contains(kinds, YutaiBunrui[k].name)) y.bunrui |= YutaiBunrui[k].bit;
      if (Contains(YuPlaneToken(e + 3 + j), "最低投資金額")) break;
    }
    Cp932CopyTruncated(y.kakutei, sizeof y.kakutei, e > 0 ? YuPlaneToken(e - 1) : "");
    PRT("優待情報格納：code %d, 種類 %04x, 確定日 %10s, 銘柄名 %s\n", y.code, y.bunrui, y.kakutei, y.name);
    e += j + 1;
  }
  return result;
}

int YutaiGetHttpFile(DownloadProgress* progress) {
  const FetchWatch watch(progress);  // Cancel is heard during a slow page too
  PRT("START YutaiGetHttpFile\n");
  long clock = 0;
  CloseInternet(hYutaiInternet);
  hYutaiInternet = OpenInternet(&clock);
  if (!hYutaiInternet) return 0;
  const int64_t start = HostNow();
  struct Closer {
    ~Closer() {
      CloseInternet(hYutaiInternet);
      hYutaiInternet = nullptr;
    }
  } closer;
  if (progress) progress->ShowProgress(0, YUTAI_PROGRESS_PAGES, "0分00秒", "0分30秒");
  ClearYutaiTable(g_new);
  yutai_num = -1;
  g_full_logged = false;
  for (int page = 1; page <= YUTAI_PAGE_MAX; ++page) {
    char rel[64];
    std::snprintf(rel, sizeof rel, YUTAI_RANKING_PATH, page);
    const std::string url = WebUrl(CurrentNetConfig().stock_info_url, rel);
    PRT("優待ダウンロード：%s\n", url.c_str());
    bool fetched = false;
    for (int retry = 0; retry < YUTAI_FETCH_TRIES && !fetched; ++retry) {
      fetched = YutaiFetch(url.c_str()) == 1;
      if (!fetched) PRT("retry=%d\n", retry);
    }
    if (!fetched) {
      HostMessageBox("時間をおいて再度お試しください。", "ダウンロード失敗", MB_OK | MB_ICONINFORMATION);
      return 0;
    }
    if (!ParseYutaiPage()) break;
    if (!StepDownloadProgress(progress, start, page - 1, YUTAI_PROGRESS_PAGES)) return 0;
  }
  if (progress && progress->CancelRequested()) return 0;
  if (yutai_num < 0) {
    HostMessageBox("更新するデータはありませんでした。", "株主優待情報", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  Yutai_Last_Num = yutai_num + 1;
  SortYutai(g_new, Yutai_Last_Num);
  std::memcpy(yutai, g_new, sizeof yutai);
  int year = 0, month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0;
  GetNowTime(&year, &month, &day, &weekday, &hour, &minute, &second);
  std::snprintf(YutaiDateText, sizeof YutaiDateText, "%d年%d月%d日現在の情報 ", year, month, day);
  return 1;
}

int RunYutaiDownload(DownloadProgress* progress) {
  if (!YutaiGetHttpFile(progress)) return 0;
  if (!WriteYutai()) {
    HostMessageBox("株主優待ファイル(vurn_yu2.hy3)を書けませんでした。", "株主優待情報", MB_OK | MB_ICONWARNING);
    return 0;
  }
  return 1;
}

void OpenYutaiPage() {
  if (DispNum < 0 || DispNum >= LastKabu) return;
  char rel[64];
  std::snprintf(rel, sizeof rel, YUTAI_STOCK_PATH, Code_to_String(fundamental[DispNum].code).c_str());
  const std::string url = WebUrl(CurrentNetConfig().stock_info_url, rel);
  if (!IsWellFormedWebUrl(url)) {
    PRT("開けないアドレスです: %s\n", url.c_str());
    return;
  }
  HostOpenUrl(url);
}
