#include "shell/shell_state.h"

#include <cstring>

#include "platform/codepage.h"

char CurrentDir[260] = "./";
int DispNum = 0;
int fBusy = 0;
int StartCode = 0;
int StartAshi = 0;
int TagDate = 0;
int fMainActive = 0;

void SetCurrentDir(const char* dir) {
  // Leave room for the separator.
  Cp932CopyTruncated(CurrentDir, sizeof CurrentDir - 1, dir ? dir : "");
  size_t n = std::strlen(CurrentDir);
  if (n == 0 || CurrentDir[n - 1] != '/') {
    CurrentDir[n] = '/';
    CurrentDir[n + 1] = '\0';
  }
}

std::string DataFilePath(const char* name) { return std::string(CurrentDir) + name; }
