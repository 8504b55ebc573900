#include "lists/alarum_check.h"

#include "db/database_file.h"
#include "lists/list_settings.h"
#include "lists/price_alerts.h"
#include "platform/hooks.h"

void CheckAlarumAfterDownload() {
  if (Alarum_Num <= 0) return;
  const int hits = CheckAlarum();
  if (AlarumCheckedHook) AlarumCheckedHook(hits);
}

void CheckAlarumAtStartup() {
  if (KidouView && !fSampleDB) CheckAlarumAfterDownload();
}
