#include "net/download_progress.h"

#include "platform/host.h"
#include "platform/progress.h"

bool StepDownloadProgress(DownloadProgress* progress, int64_t start, int done, int total) {
  if (!progress) return true;
  int64_t elapsed = HostNow() - start;
  if (elapsed < 0) elapsed = 0;
  progress->ShowProgress(done, total, ProgressTimeText(elapsed).c_str(),
                         ProgressTimeText(ProgressRemaining(elapsed, done, total)).c_str());
  return !progress->CancelRequested();
}
