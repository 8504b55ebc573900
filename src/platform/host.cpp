#include "platform/host.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/codepage.h"

namespace {

// The host of command-line tools: boxes go to standard error and take their default button.
struct ConsoleHost final : Host {
  int MessageBox(const char* text, const char* caption, unsigned type) override {
    std::fprintf(stderr, "[%s] %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
    const unsigned buttons = type & MB_BUTTON_MASK;
    const bool second = (type & MB_DEFBUTTON2) != 0;
    if (buttons == MB_YESNO) return second ? IDNO : IDYES;
    if (buttons == MB_OKCANCEL) return second ? IDCANCEL : IDOK;
    return IDOK;
  }
  void WaitDialogOpen(const char*) override {}
  void WaitDialogClose() override {}
  void PumpEvents() override {}
  void PostCommand(int, long) override {}
  void SetClipboardText(const std::string&) override {}
  bool OpenUrl(const std::string&) override { return false; }
  bool OpenLocalFile(const std::string&) override { return false; }
  void Beep() override {}
  int64_t Now() override {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
  }
  void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

ConsoleHost g_console;
Host* g_host = &g_console;

}  // namespace

Host& CurrentHost() { return *g_host; }
void SetHost(Host* host) { g_host = host ? host : &g_console; }

int HostMessageBox(const char* text, const char* caption, unsigned type) {
  return g_host->MessageBox(text ? text : "", caption ? caption : "", type);
}
void HostWaitOpen(const char* text) { g_host->WaitDialogOpen(text ? text : ""); }
void HostWaitClose() { g_host->WaitDialogClose(); }
void HostPumpEvents() { g_host->PumpEvents(); }
void HostPostCommand(int id, long param) { g_host->PostCommand(id, param); }
void HostSetClipboardText(const std::string& text) { g_host->SetClipboardText(text); }
bool HostOpenUrl(const std::string& url) { return IsWellFormedWebUrl(url) && g_host->OpenUrl(url); }
bool HostOpenLocalFile(const std::string& path) { return g_host->OpenLocalFile(path); }
void HostBeep() { g_host->Beep(); }
int64_t HostNow() { return g_host->Now(); }
void HostSleepMs(int ms) { g_host->SleepMs(ms); }

bool IsWellFormedWebUrl(const std::string& url) {
  size_t rest;
  if (url.rfind("https://", 0) == 0) rest = 8;
  else if (url.rfind("http://", 0) == 0) rest = 7;
  else return false;
  if (url.size() <= rest || url[rest] == '/') return false;
  for (unsigned char c : url)
    if (c <= 0x20 || c == 0x7F) return false;
  return true;
}
