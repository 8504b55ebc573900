#include "platform/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/working_folder.h"

char PrtLines[PRT_LINES][PRT_LINE_BYTES];
int PrtColumn = 0;
int PrtTop = PRT_TOP_MAX;
int fPrtOff = 0;
int fPrtFile = 0;
char FatalWhere[512] = "内部エラーで停止しました";

namespace {

void NewPrtLine() {
  std::memmove(PrtLines[0], PrtLines[1], sizeof(PrtLines[0]) * (PRT_LINES - 1));
  std::memset(PrtLines[PRT_LINES - 1], 0, PRT_LINE_BYTES);
  PrtColumn = 0;
}

void AppendToOutputFile(const char* text, size_t len) {
  std::FILE* f = std::fopen(DataFilePath("output").c_str(), "ab");
  if (!f) return;
  for (size_t i = 0; i < len; ++i) {
    if (text[i] == '\n') std::fputc('\r', f);
    std::fputc(text[i], f);
  }
  std::fclose(f);
}

// Formats into buf[PRT_TEXT_MAX + 1]; an over-long text is cut at a character boundary.
size_t FormatCut(char* buf, const char* format, va_list ap) {
  int n = std::vsnprintf(buf, PRT_TEXT_MAX + 1, format, ap);
  if (n < 0) {
    buf[0] = '\0';
    return 0;
  }
  size_t len = static_cast<size_t>(n);
  if (len > PRT_TEXT_MAX) {
    len = Cp932PrefixLength(std::string_view(buf, PRT_TEXT_MAX), PRT_TEXT_MAX);
    buf[len] = '\0';
  }
  return len;
}

void PrtText(const char* text, size_t len) {
  if (fPrtFile) AppendToOutputFile(text, len);
  char* line = PrtLines[PRT_LINES - 1];
  for (size_t i = 0; i < len; ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\n') {
      NewPrtLine();
      continue;
    }
    // A double-byte character that would not fit moves whole to the next line.
    if (IsCp932LeadByte(b) && i + 1 < len && PrtColumn == PRT_LINE_WIDTH - 1) NewPrtLine();
    line[PrtColumn++] = static_cast<char>(b);
    if (IsCp932LeadByte(b) && i + 1 < len) line[PrtColumn++] = text[++i];
    if (PrtColumn >= PRT_LINE_WIDTH) NewPrtLine();
  }
  if (PrtChangedHook) PrtChangedHook();
}

}  // namespace

void PRT(const char* format, ...) {
  if (fPrtOff) return;
  char buf[PRT_TEXT_MAX + 1];
  va_list ap;
  va_start(ap, format);
  size_t len = FormatCut(buf, format, ap);
  va_end(ap);
  PrtText(buf, len);
}

void FatalAt(const char* file, int line) {
  const char* name = file ? file : "";
  if (const char* slash = std::strrchr(name, '/')) name = slash + 1;
  if (const char* back = std::strrchr(name, '\\')) name = back + 1;
  std::snprintf(FatalWhere, sizeof FatalWhere, "%s  %d 行\n\n", name, line);
}

void Fatal(const char* format, ...) {
  char buf[PRT_TEXT_MAX + 1];
  va_list ap;
  va_start(ap, format);
  FormatCut(buf, format, ap);
  va_end(ap);
  fPrtOff = 0;
  PRT("%s%s\n", FatalWhere, buf);
  PRT("debug!!!\n");
  // The terminal gets the whole report too: the box shows only the location.
  std::fprintf(stderr, "%s%s\n", Cp932ToUtf8(FatalWhere).c_str(), Cp932ToUtf8(buf).c_str());
  std::fflush(stderr);
  HostMessageBox(FatalWhere, "エラーです。強制終了します", MB_OK | MB_ICONERROR);
  std::_Exit(1);
}

void TogglePrtFile() { fPrtFile = !fPrtFile; }

size_t PrtHistoryText(char* out, size_t size) {
  size_t n = 0;
  if (size == 0) return 0;
  out[0] = '\0';
  for (int i = 0; i < PRT_LINES; ++i) {
    if (PrtLines[i][0] == '\0') continue;
    size_t len = std::strlen(PrtLines[i]);
    if (n + len + 2 > size) break;
    std::memcpy(out + n, PrtLines[i], len);
    n += len;
    out[n++] = '\n';
    out[n] = '\0';
  }
  return n;
}

void CopyPrtToClipboard() {
  static char block[102400];
  size_t n = PrtHistoryText(block, sizeof block);
  HostSetClipboardText(std::string(block, n));
}

void ClearPrtHistory() {
  std::memset(PrtLines, 0, sizeof PrtLines);
  PrtColumn = 0;
  PrtTop = PRT_TOP_MAX;
}

int MovePrtTop(int delta) {
  int old = PrtTop;
  int top = PrtTop + delta;
  if (top < 1) top = 0;
  if (top > PRT_TOP_MAX - 1) top = PRT_TOP_MAX;
  PrtTop = top;
  return PrtTop - old;
}
