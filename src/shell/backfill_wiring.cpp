#include "shell/backfill_wiring.h"

#include "net/access_throttle.h"
#include "net/backfill.h"
#include "net/timed_download.h"
#include "platform/hooks.h"
#include "shell/settings.h"

void SaveDownloadState() { SaveSettingsSection("YahooBlock"); }

void RegisterBackfill() {
  if (!BackfillFeature) BackfillFeature = BackfillCommand;
  if (!AccessWarningHook) AccessWarningHook = AccessAllowsCommand;
  DownloadStateChangedHook = SaveDownloadState;
  TimedDownloadCheckHook = OnMinuteTimer;
}
