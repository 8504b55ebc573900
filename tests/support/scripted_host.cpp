#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/command_dispatch.h"

ScriptedHost::ScriptedHost() { SetHost(this); }

ScriptedHost::~ScriptedHost() {
  SetHost(nullptr);
  EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answers were not used";
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
    answer = buttons == MB_YESNO ? IDNO : IDCANCEL;
  }
  boxes.push_back({text, caption, type, answer});
  return answer;
}

void ScriptedHost::WaitDialogOpen(const char* text) {
  wait_texts.push_back(text);
  wait_open = true;
}

void ScriptedHost::WaitDialogClose() { wait_open = false; }
