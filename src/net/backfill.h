// Back-filling past prices and margin balances ("過去株価を補充"): for the shown stock, all
// stocks or the favourites only, the staging record WebHiashi is filled from the chart
// interface or the history pages and merged into each stock's record. When prices are
// fetched the calendar is first extended by the trading days it lacks. A run over all
// stocks saves its position before each stock (Restart), so a later run can resume.
#pragma once

#include <cstdint>

#include "db/price_model.h"
#include "net/download_progress.h"

// The six choices of the dialog: entry and guide texts, the price and margin pages read per
// stock and the chart interface's day count (0: history pages only).
struct MillerChoice {
  const char* entry;
  const char* guide;
  int price_pages;
  int margin_pages;
  int chart_days;
};
constexpr int MILLER_CHOICE_COUNT = 6;
extern const MillerChoice kMillerChoices[MILLER_CHOICE_COUNT];
// The choice that reads the other portal's daily-bar page, and the one with a "to" date of
// its own per stock.
constexpr int MILLER_CHOICE_DAILY_BAR = 4;
constexpr int MILLER_CHOICE_FULL = 5;

enum MillerScope { MILLER_SHOWN_STOCK, MILLER_ALL_STOCKS, MILLER_FAVOURITES };

// What the run shows (net/download_progress.h): the bar (done of total) with the two times,
// and Cancel. Between stocks and pages CancelRequested is asked, which lets pending events run.

// The dates GetYahooDate fetched (the Nikkei 225's trading days).
extern int32_t MillerDates[MAX_DATE];
extern int MillerCount;

// The run: 1 when it ended (completed, cancelled or stopped at a rest), 0 when it did not
// start or the calendar step failed.
int Yahoo10years(DownloadProgress* progress, int scope, int price_pages, int margin_pages, int choice,
                 int chart_days);
// Reads the trading days of up to `pages` Nikkei history pages into MillerDates. 0 when a
// page could not be fetched.
int GetYahooDate(int pages, DownloadProgress* progress = nullptr);
// Extends the calendar by the fetched days that it lacks, after asking; 1 when the calendar
// is up to date, 0 when the user declined or the database could not be rewritten.
int InsertMillerDates();
// Merges WebHiashi into stock_num's record, read into buf (the run's own buffer). 1 when the
// record changed (buf then holds it, to be written).
int MergeWebHiashi(int stock_num, Hiashi* buf);

// The Download button's work: stores the choice, runs Yahoo10years with its parameters and
// tells the user when the run did not take place. Returns the run's result.
int RunBackfill(DownloadProgress* progress, int scope, int choice);
// The feature of command 40104: the dialog when installed, else the shown stock with the
// last choice.
void BackfillCommand();
// The scope the dialog opens on: the shown-stock scope once a back-fill of this run used it.
extern int BackfillLastScope;
