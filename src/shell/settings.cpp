#include "shell/settings.h"

#include "chart/chart_settings.h"
#include "db/maintenance_settings.h"
#include "lists/list_settings.h"
#include "lists/screening_settings.h"
#include "net/download_settings.h"
#include "net/net_settings.h"
#include "shell/window_placement.h"

char VersionInfo[33];
int ReplaceTagInterval = 4;
int ReplaceTagNextDate = 0;
int ReplaceTagDoneDate = 0;

void ResetShellSettings() {
  VersionInfo[0] = '\0';
  ReplaceTagInterval = 4;
  ReplaceTagNextDate = 0;
  ReplaceTagDoneDate = 0;
}

void ResetAllSettings() {
  ResetWindowPlacements();
  ResetChartSettings();
  ResetMaintenanceSettings();
  ResetDownloadSettings();
  ResetNetSettings();
  ResetScreeningSettings();
  ResetListSettings();
  ResetShellSettings();
}
