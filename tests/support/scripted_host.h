// A host for tests: answers message boxes from a script, records what was shown, posted,
// copied and opened, and fails the test on a question the script did not expect.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/host.h"

struct ShownBox {
  std::string text;     // CP932, as passed
  std::string caption;  // CP932
  unsigned type;
  int answer;
};

class ScriptedHost final : public Host {
 public:
  // Installs itself as the current host; the destructor restores the console host and
  // fails the test when scripted answers were left unused.
  ScriptedHost();
  ~ScriptedHost() override;

  // Queues the answer to the next box; when caption is not empty the box must carry it.
  void Answer(int answer, const std::string& caption = "");
  // Runs the posted commands through the dispatch, in the order posted.
  void RunPosted();

  int MessageBox(const char* text, const char* caption, unsigned type) override;
  void WaitDialogOpen(const char* text) override;
  void WaitDialogClose() override;
  void PumpEvents() override { ++pumps; }
  void PostCommand(int id, long param) override {
    posted.push_back(id);
    posted_params.push_back(param);
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return true;
  }
  bool OpenLocalFile(const std::string& path) override {
    files_opened.push_back(path);
    return true;
  }
  void Beep() override { ++beeps; }
  int64_t Now() override { return now; }
  void SleepMs(int ms) override { slept_ms += ms; }

  std::vector<ShownBox> boxes;
  std::vector<int> posted;
  std::vector<long> posted_params;
  std::vector<std::string> wait_texts;  // texts of the wait dialogs opened
  bool wait_open = false;
  std::string clipboard;
  std::vector<std::string> urls;
  std::vector<std::string> files_opened;
  int pumps = 0, beeps = 0;
  long long slept_ms = 0;
  int64_t now = 1796860800;  // 2026-12-10 00:00 UTC (09:00 in Tokyo)

 private:
  struct Scripted {
    int answer;
    std::string caption;
  };
  std::deque<Scripted> script_;
};
