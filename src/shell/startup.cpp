#include "shell/startup.h"

#include "db/week_month_bars.h"
#include "net/https_client.h"
#include "shell/diagnostics.h"
#include "shell/settings.h"

void MainOnCreate() {
  PRT("Kivora 3.74 2026/10/31\n");

  // Weekly and monthly bars of stock 0: the week and month tables, LastWeek and MonthNum
  // exist before the chart first paints.
  BuildShuashi(0);
  BuildTsukiashi(0);

  // The settings (after the databases: they select per-period values that index the
  // bars), which also load the user data and place the main window.
  LoadSettings();

  init_winsock();  // the socket layer, last of the start-up steps
}

void (*TimedDownloadCheckHook)() = nullptr;

void MainOnMinuteTimer() {
  if (TimedDownloadCheckHook) TimedDownloadCheckHook();
}

void MainOnDestroy() {
  // The settings and the user data, written once at the end of the run.
  SaveSettings();
}
