#include "shell/update_command.h"

#include <algorithm>
#include <vector>

#include "chart/chart_repaint.h"
#include "db/database_file.h"
#include "db/price_model.h"
#include "db/week_month_bars.h"
#include "lists/alarum_check.h"
#include "net/database_build.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "shell/backfill_wiring.h"
#include "shell/day_merge_wiring.h"
#include "shell/main_keys.h"
#include "shell/today_command.h"
#include "chart/shown_stock.h"
#include "platform/virtual_keys.h"


namespace {
std::vector<void (*)()>& Closers() {
  static std::vector<void (*)()> v;
  return v;
}

// fBusy holds the timed download back while prices change; it is cleared on every way out.
struct Busy {
  Busy() { fBusy = 1; }
  ~Busy() { fBusy = 0; }
};

void ReloadShownStock() {
  LoadHiashi(DispNum);
  ResetAshiCache();
  RequestChartRepaint();
}

// Command 40133, offered only in the sample mode, which it leaves: the common steps but the
// refusal.
void RunDatabaseBuildCommand() {
  if (!fSampleDB) return;
  CloseToolWindows();
  Busy busy;
  BuildRegularDatabaseCommand();
  ReloadShownStock();
}
}  // namespace

// Windows register again whenever their owner is built anew: each closer is kept once.
void RegisterToolWindowCloser(void (*close)()) {
  std::vector<void (*)()>& closers = Closers();
  if (std::find(closers.begin(), closers.end(), close) == closers.end()) closers.push_back(close);
}

void CloseToolWindows() {
  for (auto close : Closers()) close();
}

bool RunUpdateCommand(UpdateFeature feature, bool end_key) {
  CloseToolWindows();
  if (!IsUpdateAllowed(true)) return false;
  Busy busy;
  if (feature) feature();
  ReloadShownStock();
  if (end_key) HostPostCommand(IDM_POST_KEY, VK_END);
  return true;
}

void UnregisterUpdateFeatures() {
  TodayDownloadFeature = nullptr;
  DayFileUpdateFeature = nullptr;
  BackfillFeature = nullptr;
  DeletionFeature = nullptr;
  TodayDownloadDialog = nullptr;
  BackfillDialog = nullptr;
  CountDownDialog = nullptr;
  DbMakeDialog = nullptr;
  CsvDateRangeDialog = nullptr;
}

void RegisterUpdateCommands() {
  RegisterDayMerge();
  RegisterBackfill();
  if (!TodayDownloadFeature) TodayDownloadFeature = TodayDownloadCommand;
  RegisterCommand(IDM_POST_KEY, [](int) { MainOnKeyDown(static_cast<int>(CommandParam)); });
  RegisterCommand(IDM_TODAY_DOWNLOAD, [](int) {
    if (AccessWarningHook && !AccessWarningHook(IDM_TODAY_DOWNLOAD)) return;
    RunUpdateCommand(TodayDownloadFeature, true);
  });
  RegisterCommand(IDM_DAYFILE_UPDATE, [](int) {
    if (RunUpdateCommand(DayFileUpdateFeature, true)) CheckAlarumAfterDownload();
  });
  RegisterCommand(IDM_BACKFILL, [](int) {
    // The warning comes before fBusy is set: declining leaves the timed download free.
    if (AccessWarningHook && !AccessWarningHook(IDM_BACKFILL)) return;
    RunUpdateCommand(BackfillFeature, false);
  });
  RegisterCommand(IDM_DELETE_PRICES, [](int) { RunUpdateCommand(DeletionFeature, false); });
  RegisterCommand(IDM_BUILD_REGULAR_DB, [](int) { RunDatabaseBuildCommand(); });
  // Until its feature is installed an update command would only reload and repaint: greyed.
  RegisterCommandEnabled(IDM_TODAY_DOWNLOAD, [] { return TodayDownloadFeature != nullptr; });
  RegisterCommandEnabled(IDM_DAYFILE_UPDATE, [] { return DayFileUpdateFeature != nullptr; });
  RegisterCommandEnabled(IDM_BACKFILL, [] { return BackfillFeature != nullptr; });
  RegisterCommandEnabled(IDM_DELETE_PRICES, [] { return DeletionFeature != nullptr; });
}
