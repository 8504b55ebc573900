// Every hook of the program in one list: a function pointer through which a lower layer, or
// core code, reaches a module above it or a window. Each is empty (nullptr) until the module
// named installs it, and every caller tests for that, so core code and tests run without the
// desktop. A hook that a key or a menu can also reach is a command instead (command_ids.h).
//
// When adding one: declare it here with who calls it and who installs it, define it in
// hooks.cpp, and clear it when the installer goes away.
#pragma once

struct Hiashi;
struct WinPlacement;

// ---- The diagnostic history (platform) ----
// Called by PRT after the history changed; the open diagnostic window repaints.
extern void (*PrtChangedHook)();
// Called by the diagnostic window when it is destroyed; the main window clears its check mark.
extern void (*PrtWindowClosedHook)();

// ---- Merging a day of prices (db) ----
// Called after a record was stored (save pass); shell refreshes its screening data.
extern void (*RecordMergedHook)(int stock_num, const Hiashi& record);
// Called when a merge stopped after storing records: the screening data must be rebuilt.
extern void (*ScreeningStaleHook)();
// Called when a merge finished: the screening snapshot is saved.
extern void (*MergeFinishedHook)();

// ---- Database maintenance (db) ----
// Installed by the four-price list window: the modal dialog "CSV_DATE_SET", which sets
// CsvFirst and CsvLast (db/csv_export.h) on OK and keeps them on Cancel.
extern void (*CsvDateRangeDialog)();

// ---- The chart (chart) ----
// Called by RequestChartRepaint; installed by the chart window (SetChartRepaintNotifier),
// which paints at its next turn.
extern void (*ChartRepaintHook)();
// Called when the scroll range or position changed; the chart window shows it on its bar.
extern void (*ChartScrollBarHook)(int min, int max, int pos);
// Called when the bar period changed; the main window selects entry `index` of its box.
extern void (*AshiBoxSelectHook)(int index);

// ---- The main window (shell) ----
// Installed by the main window while it exists: apply a placement (true on success), read
// the window's placement back (true on success). Used by the settings load and save.
extern bool (*MainPlacementApply)(const WinPlacement& p);
extern bool (*MainPlacementRead)(WinPlacement& p);
// Called by the minute timer; installed by the timed download.
extern void (*TimedDownloadCheckHook)();
// Called before the commands that fetch from the web (with the command's identifier);
// installed by the access throttling. False when the user chose not to go on.
extern bool (*AccessWarningHook)(int command_id);
// Called by the timed download: how many main windows of the program are open (nullptr:
// one). Installed by the main window.
extern int (*CountMainWindowsHook)();
// Called by the keys "1" to "9" with the digit typed; installed by the stock search.
extern void (*OpenCodeInputDialog)(int first_digit);
// Called by the wheel; installed by the favourites. False when wheel stepping through the
// favourites is off (the wheel then steps through the code order).
extern bool (*FavoriteWheelHook)(int steps);

// ---- The features behind the update commands (shell/update_command.h) ----
// Each runs inside the common steps of its command; installed by its feature.
extern void (*TodayDownloadFeature)();   // 40082
extern void (*DayFileUpdateFeature)();   // 40015
extern void (*BackfillFeature)();        // 40104
extern void (*DeletionFeature)();        // 40134

// ---- Today's download and the lists ----
// Installed by the program's dialog: opens "WEB_DOWNLOAD" and returns its result (1 when a
// day file was written). nullptr without a desktop.
extern int (*TodayDownloadDialog)();
// Installed by the program's dialog: the countdown "COUNT_DOWN" in mode 1 (timed download)
// or 2 (rest of the access throttle); 1 when it ran out, 0 when interrupted. Without it the
// countdown sleeps through the host.
extern int (*CountDownDialog)(int mode);
// Installed by the program's dialog: opens "MILLER_DOWNLOAD" (the back-fill) and returns its
// result. nullptr without a desktop.
extern int (*BackfillDialog)();
// Installed by the program's dialog: opens "DBMAKE_DOWNLOAD" (building the regular database
// from the web, command 40133) and returns its result. nullptr without a desktop.
extern int (*DbMakeDialog)();
// Called when the access counter or a back-fill resume position changed; shell writes the
// section "YahooBlock" of the settings file at once, so that a kill keeps them.
extern void (*DownloadStateChangedHook)();
// Merges the day file today's download wrote (path), unattended while the timed download
// runs; 1 when merged. Tests may put another merge here.
extern int (*MergeDayFileHook)(const char* path, bool unattended);
// The add-to-favourites operation of the favourites window: one stock by code, or -1 for the
// codes in SelectCode. Until it is installed the list windows say the favourites are not
// available.
extern void (*AddToFavouritesHook)(int code);
// Installed by the screening result window: opens it over KensakuList (an open one is
// replaced).
extern void (*OpenKensakuResult)();

// ---- The user's lists (lists) ----
// Called after a change of the favourites or of the current folder; installed by the main
// window, which rebuilds the favourites entries of its menu.
extern void (*TyumokuMenuHook)();
// Called after the alerts were checked with the number of hits; installed by the alert
// window, which opens on a hit (or refills when open).
extern void (*AlarumCheckedHook)(int hits);
// Asked by the chart paint for the stop-loss and take-profit levels of a code; installed by
// the alerts. Returns bit 1 with *stop_loss set and bit 2 with *take_profit set.
extern int (*AlarumLimitsHook)(int code, int* stop_loss, int* take_profit);
