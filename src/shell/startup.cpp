#include "shell/startup.h"

#include <cstring>
#include <string>

#include "chart/chart_view.h"
#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/etf_repair.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "db/week_month_bars.h"
#include "lists/alarum_check.h"
#include "lists/favourites.h"
#include "lists/screening_snapshot.h"
#include "net/https_client.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/diagnostics.h"
#include "platform/program_version.h"
#include "shell/settings.h"
#include "shell/shell_commands.h"
#include "shell/shell_state.h"
#include "shell/update_command.h"
#include "chart/shown_stock.h"
#include "db/trading_calendar.h"
#include "net/timed_download.h"

namespace {

constexpr const char* DB_READ_FAILED = "データベースの読みこみ失敗";
constexpr int SAMPLE_STOCKS = 20;  // stocks held by the sample database

}  // namespace

void MainOnCreate() {
  // The main window has made its chart area and tool bar and knows the working folder; the
  // loading below runs in this order because each step needs the ones before it.
  PRT("%s\n", PROGRAM_VERSION);

  // The stock master file decides which record slot belongs to which stock.
  TagDate = LoadTag();
  if (TagDate == 0) PRT("ファンダメンタル(vurn.tag)読みこみ失敗！\n");

  // An older database grows to the current layout; newly listed stocks get their records.
  UpgradeDatabase();

  // The header; without it nothing can be shown.
  if (!VURN_file_in(-1, DB_IN_HEADER)) {
    HostMessageBox("ヘルプファイル(help\\index.html)を参考にして\nデータベースを作り直してください", DB_READ_FAILED,
                   MB_OK);
    FatalAt(__FILE__, __LINE__);
    Fatal("%s", DbFailureText());
  }

  // The trading calendar. A refused one is reported once, here, and the start goes on over
  // an empty calendar with updates refused, so the file keeps it for a repair.
  if (!VURN_file_in(-1, DB_IN_CALENDAR)) {
    std::string text = "データベースを作り直してください\n\n";
    text += DbFailureText();
    text += "\n\n株価データは表示できません。データ更新もできません。";
    HostMessageBox(text.c_str(), DB_READ_FAILED, MB_OK | MB_ICONERROR);
  }

  // The record of the shown stock.
  if (!VURN_file_in(DispNum, DB_IN_RECORD)) HostMessageBox("データベースを作り直してください", DB_READ_FAILED, MB_OK);

  // The sample database holds only its own stocks.
  if (fSampleDB) {
    HostMessageBox(
        "現在、サンプル版のデータベースで動いています。\n\nサンプル版では20銘柄の株価データしか含まれていません。\n"
        "正規のデータベースでは4100銘柄を参照でき、日々の更新も可能になります。\n\n"
        "これは時間のかかる株価データのダウンロード（30分～3時間程）をする前に\n"
        "Kivoraの操作性を体験していただくための仮データとご理解下さい。\n\n"
        "詳しくはヘルプの「設定の流れ図」をご覧下さい。",
        "サンプル版のデータベースで起動しています", MB_OK);
    LastKabu = SAMPLE_STOCKS;
  }

  // What was loaded, for the diagnostic history.
  int32_t last_date = 0;
  LastTradingDay(&last_date);
  PRT("LastDate=%d,(年月日=%d), MAX_DATE=%d\n", LastDate, last_date, MAX_DATE);
  PRT("登録株数=%d, MAX_KABU=%d, DB_VERSION=%d, sizeof(stock)=%d\n", LastKabu, MAX_KABU, DB_VERSION,
      static_cast<int>(sizeof(Hiashi)));

  // The code order (stepping through stocks, lists) and the bar tables.
  MakeCodeOrder();
  // Weekly and monthly bars of stock 0: the week and month tables, LastWeek and MonthNum
  // exist before the chart first paints.
  BuildShuashi(0);
  BuildTsukiashi(0);
  // (the ranking list's work area is cleared here once the ranking list exists)

  // The settings come after the databases (they select per-period values that index the
  // bars); they also load the user data and place the main window.
  LoadSettings();

  // The screening data: from vurn_tmp.hy1, or rebuilt behind the wait dialog.
  ScreeningBuildAll();

  // The one-time repair after a version change (the new version is saved at exit). A run that
  // saves nothing has nobody to answer and would ask again at every run: it changes no prices.
  if (!fSampleDB && !fNoSaveAtEnd && std::strcmp(VersionInfo, PROGRAM_VERSION) != 0) RepairEtfCloses();

  // The chart: scroll positions and spacings per bar period, the bar-period box, the scroll
  // range; the favourites menu.
  ChartOnStartup();
  RebuildTyumokuMenu();
  // Today's target time of the timed download.
  ChooseDownloadTime();

  // The price alerts, when asked for at start-up.
  CheckAlarumAtStartup();

  // The network layer, last: nothing before needs it.
  init_winsock();
}


void MainOnMinuteTimer() {
  if (TimedDownloadCheckHook) TimedDownloadCheckHook();
}

void MainOnDestroy() {
  // The tool windows first: they keep their placements and options for the save below.
  CloseToolWindows();
  // The settings and the user data, written once at the end of the run, then the screening
  // data when this run changed them: those can be computed again, the user's lists cannot,
  // so a failure or a kill while the screening data are written loses nothing of the
  // user's (a screenshot run leaves the user's files as they were).
  if (!fNoSaveAtEnd) {
    SaveSettings();
    SavePhtIfChanged();
  }
}
