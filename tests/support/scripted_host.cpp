#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/command_dispatch.h"

ScriptedHost::ScriptedHost() { SetHost(this); }

ScriptedHost::~ScriptedHost() {
  SetHost(nullptr);
  EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answers were not used";
  EXPECT_TRUE(choices_.empty()) << choices_.size() << " scripted choices were not used";
}

void ScriptedHost::Answer(int answer, const std::string& caption) { script_.push_back({answer, caption}); }

void ScriptedHost::RunPosted() {
  while (!posted.empty()) {
    int id = posted.front();
    long param = posted_params.front();
    posted.erase(posted.begin());
    posted_params.erase(posted_params.begin());
    OnCommand(id, param);
  }
}

int ScriptedHost::MessageBox(const char* text, const char* caption, unsigned type) {
  if (on_box) on_box({text, caption, type, 0});
  const unsigned buttons = type & MB_BUTTON_MASK;
  int answer = IDOK;
  if (!script_.empty()) {
    Scripted s = script_.front();
    script_.pop_front();
    if (!s.caption.empty()) {
      EXPECT_EQ(Cp932ToUtf8(s.caption), Cp932ToUtf8(caption)) << "box text: " << Cp932ToUtf8(text);
    }
    answer = s.answer;
  } else if (buttons != MB_OK) {
    ADD_FAILURE() << "unexpected question [" << Cp932ToUtf8(caption) << "] " << Cp932ToUtf8(text);
    answer = buttons == MB_YESNO ? IDNO : IDCANCEL;  // Yes/No/Cancel: Cancel
  }
  boxes.push_back({text, caption, type, answer});
  return answer;
}

void ScriptedHost::WaitDialogOpen(const char* text) {
  wait_texts.push_back(text);
  wait_open = true;
}

void ScriptedHost::WaitDialogClose() { wait_open = false; }

void ScriptedHost::ProgressOpen(const char* title, const char* text, int total) {
  progress = ShownProgress{};
  progress.title = title;
  progress.text = text;
  progress.total = total;
  progress.open = true;
  progress_cancel = false;
}

void ScriptedHost::ProgressShow(int done, const char* elapsed, const char* remaining) {
  EXPECT_TRUE(progress.open) << "progress shown without its dialog";
  progress.done = done;
  progress.elapsed = elapsed;
  progress.remaining = remaining;
  progress.steps.push_back(done);
  PumpEvents();
}

void ScriptedHost::PumpEvents() {
  ++pumps;
  if (on_pump) on_pump();
}

void ScriptedHost::SleepMs(int ms) {
  slept_ms += ms;
  if (on_sleep) on_sleep(ms);
}

std::string ScriptedHost::NextChoice(const char* title) {
  choice_titles.push_back(title);
  if (choices_.empty()) {
    ADD_FAILURE() << "unexpected choice [" << Cp932ToUtf8(title) << "]";
    return {};
  }
  std::string path = choices_.front();
  choices_.pop_front();
  return path;
}

std::string ScriptedHost::ChooseOpenFile(const char* title, const std::string&, const char*) {
  return NextChoice(title);
}

std::string ScriptedHost::ChooseFolder(const char* title, const std::string&) { return NextChoice(title); }

bool ScriptedHost::PrintImage(const HostImage& image, const char*) {
  if (!print_ok) return false;
  printed.push_back(image);
  return true;
}
