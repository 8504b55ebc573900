// The price-alert check after new prices came in (a download or a merged day file) and at
// start-up.
#pragma once

// Checks every alert against the latest closes; the alert window (AlarumCheckedHook) opens
// on a hit or refills when open.
void CheckAlarumAfterDownload();
// At start-up: the same check when "起動時に表示" (KidouView) is on, unless the sample
// database is in use.
void CheckAlarumAtStartup();
