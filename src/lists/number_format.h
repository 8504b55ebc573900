// Thousands separators for the list windows (CommaAdd, CommaInsert: shared with the chart's
// read-outs) and the plain-text copy of a list to the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/number_text.h"

// A list's text for the clipboard: lines appended in order (each ends in CR LF as the
// caller formats it), cut at the caller's block size (one byte is the terminator).
struct ClipboardText {
  explicit ClipboardText(size_t block_size) : capacity(block_size > 0 ? block_size - 1 : 0) {}
  // Appends a line when the whole of it fits; false (and nothing appended) when it would
  // not.
  bool Append(const std::string& line);
  size_t capacity;
  std::string text;
};
// Formats one line ("%s\t%s\r\n" and the like) and appends it.
bool ClipboardAppendf(ClipboardText* c, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Hands the text to the clipboard as plain text.
void CopyTextToClipboard(const ClipboardText& c);
