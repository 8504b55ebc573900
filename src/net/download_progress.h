// What a download shows in its own dialog while it runs: the items done with the elapsed and
// remaining times, a text line, and whether the user asked to stop (tested between items).
#pragma once

#include <cstdint>

struct DownloadProgress {
  virtual ~DownloadProgress() = default;
  virtual void ShowProgress(int done, int total, const char* elapsed, const char* remaining) = 0;
  virtual void ShowText(const char* text) { (void)text; }
  // Lets the dialog's events run; true once Cancel or the close box was pressed.
  virtual bool CancelRequested() = 0;
  // Asked every few hundred milliseconds while a page fetch waits (net/fetch_watch.h): true
  // ends the fetch as failed. A dialog answers as CancelRequested; without one a fetch is
  // only bounded by its time-outs.
  virtual bool CancelDuringFetch() { return false; }
};

// Shows `done` of `total` items of a run that started at `start` (host clock): the elapsed
// time and the remaining one, elapsed × total ÷ (done + 1) − elapsed. False once the user
// asked to stop. Without a progress nothing is shown and the run goes on.
bool StepDownloadProgress(DownloadProgress* progress, int64_t start, int done, int total);
