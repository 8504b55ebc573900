// Long work over many items (stocks, pages, records) inside the progress dialog: the bar,
// the elapsed and the remaining time, and a Cancel flag tested between items.
//
//   ProgressRun run("過去株価を補充", "しばらくお待ち下さい。", LastKabu);
//   for (int i = 0; i < LastKabu; ++i) {
//     if (!run.Step(i)) break;   // the user cancelled
//     ... one stock ...
//   }                            // the dialog closes when `run` goes out of scope
#pragma once

#include <cstdint>
#include <string>

// A duration as the download dialogs show it: "%d時間%2d分" above an hour, else "%d分%02d秒".
std::string ProgressTimeText(int64_t seconds);
// The time still to go when `done` of `total` items took `elapsed` seconds:
// elapsed × total ÷ (done + 1) − elapsed, never below 0.
int64_t ProgressRemaining(int64_t elapsed, int done, int total);

class ProgressRun {
 public:
  // Opens the dialog; the clock starts now (the host's clock).
  ProgressRun(const char* title, const char* text, int total);
  ~ProgressRun();
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

  // Before each item: shows `done` items done with the two times and lets events run.
  // False once the user has cancelled.
  bool Step(int done);
  bool Cancelled() const;
  void SetText(const char* text);
  int64_t ElapsedSeconds() const;

 private:
  int64_t start_;
  int total_;
};
