#include "net/fetch_watch.h"

#include "net/download_progress.h"

namespace {
DownloadProgress* g_watch = nullptr;
}  // namespace

FetchWatch::FetchWatch(DownloadProgress* progress) : saved_(g_watch) { g_watch = progress; }
FetchWatch::~FetchWatch() { g_watch = saved_; }

bool FetchStopRequested() { return g_watch && g_watch->CancelDuringFetch(); }
