#include "platform/progress.h"

#include <cstdio>

#include "platform/host.h"

std::string ProgressTimeText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char buf[64];
  if (seconds > 3600)
    std::snprintf(buf, sizeof buf, "%d時間%2d分", static_cast<int>(seconds / 3600), static_cast<int>(seconds % 3600 / 60));
  else
    std::snprintf(buf, sizeof buf, "%d分%02d秒", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  return buf;
}

int64_t ProgressRemaining(int64_t elapsed, int done, int total) {
  if (done < 0) done = 0;
  const int64_t r = elapsed * total / (static_cast<int64_t>(done) + 1) - elapsed;
  return r > 0 ? r : 0;
}

ProgressRun::ProgressRun(const char* title, const char* text, int total)
    : start_(HostNow()), total_(total) {
  CurrentHost().ProgressOpen(title ? title : "", text ? text : "", total);
}

ProgressRun::~ProgressRun() { CurrentHost().ProgressClose(); }

bool ProgressRun::Step(int done) {
  const int64_t elapsed = ElapsedSeconds();
  CurrentHost().ProgressShow(done, ProgressTimeText(elapsed).c_str(),
                             ProgressTimeText(ProgressRemaining(elapsed, done, total_)).c_str());
  return !Cancelled();
}

bool ProgressRun::Cancelled() const { return CurrentHost().ProgressCancelled(); }

void ProgressRun::SetText(const char* text) { CurrentHost().ProgressSetText(text ? text : ""); }

int64_t ProgressRun::ElapsedSeconds() const {
  const int64_t e = HostNow() - start_;
  return e > 0 ? e : 0;
}
