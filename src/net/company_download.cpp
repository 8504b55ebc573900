#include "net/company_download.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/company_file.h"
#include "net/company_page.h"
#include "net/download_progress.h"
#include "net/fetch_watch.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/working_folder.h"

int DownloadCompanyPages(int scope, DownloadProgress* progress) {
  const FetchWatch watch(progress);  // Cancel is heard during a slow page too
  const bool single = scope == FUN_SCOPE_SHOWN;
  const int first = single ? DispNum : 0;
  const int last = single ? DispNum : LastKabu - 1;
  const int64_t start = HostNow();
  int failed = 0;
  bool stop = false;
  for (int s = first; s <= last && s >= 0 && s < LastKabu && !stop; ++s) {
    if (!ReadFun(s, 1)) {
      PRT("企業情報ファイルを読めないので止めます(%d)\n", s);
      HostMessageBox("企業情報ファイルを読めません。", "企業情報", MB_OK | MB_ICONWARNING);
      break;
    }
    const Fundamental& f = fundamental[s];
    if (f.flag & FLAG_INDEX) continue;
    if (FunBuf.code != 0) {
      if (scope == FUN_SCOPE_MISSING) {
        PRT("既存 更新せず。  %d(%4d) %-12s\n", f.code, s, f.name);
        continue;
      }
      PRT("既存 更新します。%d(%4d) %-12s\n", f.code, s, f.name);
    }
    if (progress && progress->CancelRequested()) {
      PRT("途中で止めるのね\n");
      break;
    }
    if (single && progress) progress->ShowText("インターネットに接続中です。\n１０秒ほどお待ち下さい。");
    for (const char* path : {FUN_OVERVIEW_PATH, FUN_RESULTS_PATH}) {
      char rel[128];
      std::snprintf(rel, sizeof rel, path, Code_to_String(f.code).c_str());
      const std::string url = WebUrl(CurrentNetConfig().company_url, rel);
      PRT("%d(%d) %s %s\n", f.code, s, f.name, url.c_str());
      StepDownloadProgress(progress, start, s, LastKabu);
      if (!GetFunPage(url.c_str())) {
        PRT("URLなし\n");
        ++failed;
      } else if (!ParseFunPage(s)) {
        ++failed;
      }
      // A full disk: the rest of the run could not be kept either.
      if (FunUpdateFailed()) {
        stop = true;
        break;
      }
    }
  }
  PRT("DownLoad時間=%d秒\n", static_cast<int>(HostNow() - start));
  return failed;
}

int RunCompanyDownload(int scope, DownloadProgress* progress) {
  struct stat st {};
  if (::stat(DataFilePath(FUN_FILE).c_str(), &st) != 0 || st.st_size != FUN_FILE_SIZE) {
    if (::stat(DataFilePath(FUN_FILE).c_str(), &st) == 0) {
      // A file of another size is someone's data, not ours to overwrite.
      HostMessageBox("企業情報ファイル(vurn_fu4.hy3)の大きさが違います。\n別の名前に変えてから、もう一度ダウンロードして下さい。",
                     "企業情報", MB_OK | MB_ICONWARNING);
      return 0;
    }
    if (!WriteFun(0, 0) || !WriteFun(0, 1)) {
      HostMessageBox("企業情報ファイル(vurn_fu4.hy3)を作れません。", "企業情報", MB_OK | MB_ICONWARNING);
      return 0;
    }
  }
  long clock = 0;
  CloseInternet(hInternet);
  hInternet = OpenInternet(&clock);
  if (!hInternet) {
    HostMessageBox("企業情報のダウンロードは中止しました\n", "ダウンロード中止", MB_OK);
    return 0;
  }
  // The run works on a copy of the file that replaces it at the end, also after Cancel.
  const bool opened = BeginFunUpdate() == 1;
  if (opened) DownloadCompanyPages(scope, progress);
  const bool kept = opened && EndFunUpdate() == 1;
  CloseInternet(hInternet);
  hInternet = nullptr;
  if (!kept) {
    HostMessageBox("企業情報ファイル(vurn_fu4.hy3)を書けませんでした。\nファイルは前のままです。", "企業情報",
                   MB_OK | MB_ICONWARNING);
    return 0;
  }
  return 1;
}
