// The narrow interface through which core code reaches the user and the desktop.
// Core code calls the free functions below; the running program installs the Qt host,
// tests install a scripted host, command-line tools use the console host.
// Every text passed through here is CP932; paths are in the file system's own encoding.
//
// Every method has a default (the console host's behaviour: boxes take their default
// button, choices are cancelled, nothing is shown), so a host overrides only what it shows
// and a new method does not touch every host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Message box buttons, icons and default button (the values of the original platform).
enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNOCANCEL = 0x3,
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

// The answer a box gives without a person: its default button.
int DefaultBoxAnswer(unsigned type);

// A picture for the clipboard or the printer: rows top to bottom, each pixel 0xFFRRGGBB
// (the layout of the chart's memory image).
struct HostImage {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // width * height
  bool monochrome = false;       // hand it over as a 1-bit picture (black-and-white copy)
};

struct Host {
  virtual ~Host() = default;
  // Shows a modal message box and returns the button chosen.
  virtual int MessageBox(const char* text, const char* caption, unsigned type);
  // The modeless wait dialog "WAIT_JOB" (title "しばらくお待ちください", one text).
  virtual void WaitDialogOpen(const char* text) {}
  virtual void WaitDialogClose() {}

  // The progress dialog of long work over many items: a title, one text, a bar of `total`
  // items, the elapsed and the remaining time, and a Cancel button. Core code drives it
  // through ProgressRun (platform/progress.h), which computes the times.
  virtual void ProgressOpen(const char* title, const char* text, int total) {}
  virtual void ProgressSetText(const char* text) {}
  // Shows `done` items done and the two time texts, then lets pending events run, which is
  // how a click on Cancel is seen.
  virtual void ProgressShow(int done, const char* elapsed, const char* remaining) { PumpEvents(); }
  // True once Cancel was pressed (or the dialog closed) since ProgressOpen.
  virtual bool ProgressCancelled() { return false; }
  virtual void ProgressClose() {}

  // Lets pending events run (between the items of long work).
  virtual void PumpEvents() {}
  // Queues a command (with its parameter) for the main window's dispatch; commands run in
  // the order posted.
  virtual void PostCommand(int id, long param) {}

  // The open-file dialog: `folder` to start in, `filters` in the string-table form
  // "name|patterns|name|patterns|" (patterns separated by ';'), the first filter chosen;
  // the file must exist. Returns the chosen path, or "" when cancelled.
  virtual std::string ChooseOpenFile(const char* title, const std::string& folder, const char* filters) {
    return {};
  }
  // The folder browser (file-system folders only). Returns the chosen folder, or "".
  virtual std::string ChooseFolder(const char* title, const std::string& start) { return {}; }

  virtual void SetClipboardText(const std::string& text) {}
  // The clipboard's text, CP932; false when it holds none.
  virtual bool GetClipboardText(std::string& text) { return false; }
  // Puts a picture on the clipboard; false when that failed.
  virtual bool SetClipboardImage(const HostImage& image) { return false; }
  // The print dialog (one copy, page 1 to 1, print to PDF reachable); on OK prints the
  // picture on one page, placed by PrintPlacement (platform/print_layout.h), as a document
  // named `document`. False when cancelled or nothing could be printed.
  virtual bool PrintImage(const HostImage& image, const char* document) { return false; }

  // Opens a well-formed http or https URL in the desktop's browser; false when refused.
  virtual bool OpenUrl(const std::string& url) { return false; }
  // Opens a local file (help pages) with the desktop's default program.
  virtual bool OpenLocalFile(const std::string& path) { return false; }
  virtual void Beep() {}
  // Current time in seconds since 1970-01-01 UTC.
  virtual int64_t Now();
  virtual void SleepMs(int ms);
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
std::string HostChooseOpenFile(const char* title, const std::string& folder, const char* filters);
std::string HostChooseFolder(const char* title, const std::string& start);
void HostSetClipboardText(const std::string& text);
bool HostGetClipboardText(std::string& text);
bool HostSetClipboardImage(const HostImage& image);
bool HostPrintImage(const HostImage& image, const char* document);
bool HostOpenUrl(const std::string& url);
bool HostOpenLocalFile(const std::string& path);
void HostBeep();
int64_t HostNow();
void HostSleepMs(int ms);
