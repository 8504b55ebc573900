// A host for tests: answers message boxes and file or folder choices from a script, records
// what was shown, posted, copied, printed and opened, and fails the test on a question the
// script did not expect. Sleeping and pumping add to counters and call the hooks, so a test
// can let something happen "meanwhile" (another instance lets go of a lock, the user
// presses Cancel).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"

struct ShownBox {
  std::string text;     // CP932, as passed
  std::string caption;  // CP932
  unsigned type;
  int answer;
};

// One progress dialog as it was shown.
struct ShownProgress {
  std::string title, text;  // CP932; text is the last one set
  int total = 0;
  int done = -1;                        // the last count shown
  std::string elapsed, remaining;       // the last times shown
  std::vector<int> steps;               // every count shown, in order
  bool open = false;
};

class ScriptedHost final : public Host {
 public:
  // Installs itself as the current host; the destructor restores the console host and
  // fails the test when scripted answers or choices were left unused.
  ScriptedHost();
  ~ScriptedHost() override;

  // Queues the answer to the next box; when caption is not empty the box must carry it.
  void Answer(int answer, const std::string& caption = "");
  // Queues the result of the next file or folder choice ("" = cancelled).
  void Choose(const std::string& path) { choices_.push_back(path); }
  // Runs the posted commands through the dispatch, in the order posted.
  void RunPosted();

  int MessageBox(const char* text, const char* caption, unsigned type) override;
  void WaitDialogOpen(const char* text) override;
  void WaitDialogClose() override;
  void ProgressOpen(const char* title, const char* text, int total) override;
  void ProgressSetText(const char* text) override { progress.text = text; }
  void ProgressShow(int done, const char* elapsed, const char* remaining) override;
  bool ProgressCancelled() override { return progress_cancel; }
  void ProgressClose() override { progress.open = false; }
  void PumpEvents() override;
  void PostCommand(int id, long param) override {
    posted.push_back(id);
    posted_params.push_back(param);
  }
  std::string ChooseOpenFile(const char* title, const std::string& folder, const char* filters) override;
  std::string ChooseFolder(const char* title, const std::string& start) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  bool GetClipboardText(std::string& text) override {
    text = clipboard;
    return !clipboard.empty();
  }
  bool SetClipboardImage(const HostImage& image) override {
    clipboard_image = image;
    return true;
  }
  bool PrintImage(const HostImage& image, const char* document) override;
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return true;
  }
  bool OpenLocalFile(const std::string& path) override {
    files_opened.push_back(path);
    return open_ok;
  }
  void Beep() override { ++beeps; }
  int64_t Now() override { return now; }
  void SleepMs(int ms) override;

  std::vector<ShownBox> boxes;
  std::vector<int> posted;
  std::vector<long> posted_params;
  std::vector<std::string> wait_texts;  // texts of the wait dialogs opened
  bool wait_open = false;
  ShownProgress progress;               // the last progress dialog opened
  bool progress_cancel = false;         // what ProgressCancelled answers (set it from a hook)
  std::vector<std::string> choice_titles;  // titles of the file and folder choices asked
  std::string clipboard;
  HostImage clipboard_image;
  bool print_ok = true;                 // false: the print dialog is cancelled
  bool open_ok = true;                  // false: no program opens local files
  std::vector<HostImage> printed;
  std::vector<std::string> urls;
  std::vector<std::string> files_opened;
  int pumps = 0, beeps = 0;
  long long slept_ms = 0;
  int64_t now = 1796860800;  // 2026-12-10 00:00 UTC (09:00 in Tokyo)

  // Called after each pump (ProgressShow pumps too) and after each sleep has been counted.
  std::function<void()> on_pump;
  std::function<void(int ms)> on_sleep;
  // Called while a box stands, before its answer is taken: what happens meanwhile (a timed
  // download that starts while the user has not answered yet).
  std::function<void(const ShownBox&)> on_box;

 private:
  struct Scripted {
    int answer;
    std::string caption;
  };
  std::string NextChoice(const char* title);
  std::deque<Scripted> script_;
  std::deque<std::string> choices_;
};
