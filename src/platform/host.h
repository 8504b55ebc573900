// The narrow interface through which core code reaches the user and the desktop.
// Core code calls the free functions below; the running program installs the Qt host,
// tests install a scripted host, command-line tools use the console host.
// Every text passed through here is CP932.
#pragma once

#include <cstdint>
#include <string>

// Message box buttons, icons and default button (the values of the original platform).
enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,   // stop icon
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON2 = 0x100,
};
constexpr unsigned MB_BUTTON_MASK = 0xF;
constexpr unsigned MB_ICON_MASK = 0xF0;

// Message box results.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct Host {
  virtual ~Host() = default;
  // Shows a modal message box and returns the button chosen.
  virtual int MessageBox(const char* text, const char* caption, unsigned type) = 0;
  // The modeless wait dialog "WAIT_JOB" (title "しばらくお待ちください", one text).
  virtual void WaitDialogOpen(const char* text) = 0;
  virtual void WaitDialogClose() = 0;
  // Lets pending events run (between the items of long work).
  virtual void PumpEvents() = 0;
  // Queues a command (with its parameter) for the main window's dispatch; commands run in
  // the order posted.
  virtual void PostCommand(int id, long param) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  // Opens a well-formed http or https URL in the desktop's browser; false when refused.
  virtual bool OpenUrl(const std::string& url) = 0;
  // Opens a local file (help pages) with the desktop's default program.
  virtual bool OpenLocalFile(const std::string& path) = 0;
  virtual void Beep() = 0;
  // Current time in seconds since 1970-01-01 UTC.
  virtual int64_t Now() = 0;
  virtual void SleepMs(int ms) = 0;
};

// The host in use; a console host until another is installed.
Host& CurrentHost();
// Installs a host (not owned); nullptr restores the console host.
void SetHost(Host* host);

// Convenience wrappers over the current host.
int HostMessageBox(const char* text, const char* caption, unsigned type);
void HostWaitOpen(const char* text);
void HostWaitClose();
void HostPumpEvents();
void HostPostCommand(int id, long param = 0);
void HostSetClipboardText(const std::string& text);
bool HostOpenUrl(const std::string& url);
bool HostOpenLocalFile(const std::string& path);
void HostBeep();
int64_t HostNow();
void HostSleepMs(int ms);

// True for a URL that may be handed to the browser: http:// or https://, a host, no blanks
// or control characters.
bool IsWellFormedWebUrl(const std::string& url);
