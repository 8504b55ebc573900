// The watch of a download run over each page fetch. A fetch is bounded twice: by the idle
// time-out (nothing received for that long) and by the whole-request deadline (a server that
// sends a byte now and then never reaches the first). While a run installs its progress here,
// both fetch paths also ask it at most every FETCH_POLL_MS whether the user pressed Cancel,
// which lets the run's dialog answer during a slow page; the fetch then ends as failed.
#pragma once

struct DownloadProgress;

constexpr int FETCH_POLL_MS = 200;

// Installs progress as the watch of the fetches in its scope (nested scopes restore).
class FetchWatch {
 public:
  explicit FetchWatch(DownloadProgress* progress);
  ~FetchWatch();
  FetchWatch(const FetchWatch&) = delete;
  FetchWatch& operator=(const FetchWatch&) = delete;

 private:
  DownloadProgress* saved_;
};

// True when the run watching the fetches asks to stop; false outside a run.
bool FetchStopRequested();
