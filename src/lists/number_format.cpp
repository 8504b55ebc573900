#include "lists/number_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/host.h"

bool ClipboardText::Append(const std::string& line) {
  if (text.size() + line.size() > capacity) return false;
  text += line;
  return true;
}

bool ClipboardAppendf(ClipboardText* c, const char* format, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  return c->Append(buf);
}

void CopyTextToClipboard(const ClipboardText& c) { HostSetClipboardText(c.text); }
