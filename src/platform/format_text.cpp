#include "platform/format_text.h"

#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* format, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  return buf;
}
