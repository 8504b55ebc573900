#include "platform/host.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/codepage.h"
#include "platform/web_url.h"

int DefaultBoxAnswer(unsigned type) {
  const unsigned buttons = type & MB_BUTTON_MASK;
  const bool second = (type & MB_DEFBUTTON2) != 0;
  if (buttons == MB_YESNO) return second ? IDNO : IDYES;
  if (buttons == MB_OKCANCEL) return second ? IDCANCEL : IDOK;
  if (buttons == MB_YESNOCANCEL) return second ? IDNO : IDYES;
  return IDOK;
}

// Without a desktop, boxes go to standard error and take their default button.
int Host::MessageBox(const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "[%s] %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
  return DefaultBoxAnswer(type);
}

int64_t Host::Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void Host::SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

// The host of command-line tools: every default.
Host g_console;
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
std::string HostChooseOpenFile(const char* title, const std::string& folder, const char* filters) {
  return g_host->ChooseOpenFile(title ? title : "", folder, filters ? filters : "");
}
std::string HostChooseFolder(const char* title, const std::string& start) {
  return g_host->ChooseFolder(title ? title : "", start);
}
void HostSetClipboardText(const std::string& text) { g_host->SetClipboardText(text); }
bool HostGetClipboardText(std::string& text) {
  text.clear();
  return g_host->GetClipboardText(text);
}
bool HostSetClipboardImage(const HostImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return false;
  return g_host->SetClipboardImage(image);
}
bool HostPrintImage(const HostImage& image, const char* document) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return false;
  return g_host->PrintImage(image, document ? document : "");
}
bool HostOpenUrl(const std::string& url) { return IsWellFormedWebUrl(url) && g_host->OpenUrl(url); }
bool HostOpenLocalFile(const std::string& path) { return g_host->OpenLocalFile(path); }
void HostBeep() { g_host->Beep(); }
int64_t HostNow() { return g_host->Now(); }
void HostSleepMs(int ms) { g_host->SleepMs(ms); }
