#include "platform/working_folder.h"

#include <cstring>

#include "platform/codepage.h"

char CurrentDir[260] = "./";

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
