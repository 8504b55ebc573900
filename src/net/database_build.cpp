#include "net/database_build.h"

#include <algorithm>
#include <string>

#include "db/database_file.h"
#include "db/price_model.h"
#include "db/regular_database.h"
#include "db/stock_code.h"
#include "net/backfill.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/progress.h"

const char* const kDbMakeAskText =
    "正規のデータベース作成の準備に２分ほど、その後の株価のダウンロードには２０分ほどかかります。\n\n"
    "正規のデータベース作成準備中（約２分間）は停止することが出来ません。\n\n正規のデータベースを作成しますか？\n";
const char* const kDbMakeRunText = "全銘柄の株価データをダウンロードしています。\n\n約２０分かかります。\n\n";

namespace {

constexpr int kChartDays = 60;   // trading days fetched per stock
constexpr int kNikkeiPages = 3;  // history pages of the Nikkei 225 that give those days
constexpr int kFirstBarPosition = 100;

DownloadProgress* g_progress = nullptr;

}  // namespace

int DbMakeProgress(int stock_num, int64_t start) {
  if (!g_progress) return 0;
  const int64_t elapsed = std::max<int64_t>(HostNow() - start, 0);
  g_progress->ShowProgress(std::max(stock_num, kFirstBarPosition), std::max(LastKabu - 1, 1),
                           ProgressTimeText(elapsed).c_str(),
                           ProgressTimeText(ProgressRemaining(elapsed, stock_num, LastKabu)).c_str());
  if (!g_progress->CancelRequested()) return 0;
  PRT("途中でキャンセル\n");
  return 1;
}

int BuildRegularDatabase(DownloadProgress* progress) {
  HostWaitOpen("　正規のデータベース作成の準備中です。\n\n　2分ほどお待ち下さい。\n");
  fDbMake = 1;
  const int made = WriteRegularDatabase();
  HostWaitClose();
  if (!made) {
    fDbMake = 0;
    std::string text = "正規のデータベースを作成できませんでした。\nサンプルのデータベースのままです。\n\n";
    text += DbFailureText();
    HostMessageBox(text.c_str(), "データベースの作成失敗", MB_OK | MB_ICONERROR);
    return 0;
  }
  // The run's result is not examined: a stop keeps the stocks fetched so far, and the
  // back-fill command completes the others later.
  g_progress = progress;
  Yahoo10years(progress, MILLER_ALL_STOCKS, kNikkeiPages, 0, 0, kChartDays);
  g_progress = nullptr;
  MakeCodeOrder();
  HostMessageBox(
      "正規のデータベースの作成が完了しました。\n\n現在60日分の株価データが登録されています。\n"
      "過去10年分データ等を追加する場合には「過去株価を補充」機能を\nご利用ください。\n",
      "データベースの作成完了", MB_OK);
  fDbMake = 0;
  return 1;
}

void BuildRegularDatabaseCommand() {
  if (!fSampleDB) return;
  if (DbMakeDialog) DbMakeDialog();
  else BuildRegularDatabase(nullptr);
}
