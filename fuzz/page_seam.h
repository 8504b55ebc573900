// Stands in for the page fetch (net/page_fetch.cpp, which the linker then leaves out of
// the target): each FetchHttpBody hands out the next page of the input as if it had
// arrived (no status), and GetHttpFile reduces it to PageText as the real fetch does. The
// input's pages are its parts (see input_parts.h); a missing page is a failed fetch.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "input_parts.h"
#include "net/page_fetch.h"
#include "net/page_text.h"

inline std::vector<std::string_view> g_pages;
inline size_t g_next_page = 0;

// Splits the input into the pages the following fetches receive.
inline void ServePages(const unsigned char* data, size_t size) {
  g_pages = SplitParts(data, size);
  g_next_page = 0;
}

int FetchHttpBody(const char*, InternetSession*) {
  HttpStatus = 0;
  if (g_next_page >= g_pages.size()) return 0;
  std::string_view page = g_pages[g_next_page++];
  if (page.size() > static_cast<size_t>(HTTP_BUF_SIZE) - 1) page = page.substr(0, HTTP_BUF_SIZE - 1);
  std::memcpy(HttpBuf, page.data(), page.size());
  HttpBuf[page.size()] = '\0';
  HttpBufLen = static_cast<int>(page.size());
  return 1;
}

int GetHttpFile(const char* url) {
  if (!FetchHttpBody(url, nullptr)) return 0;
  ReduceHtml(HttpBufLen);
  return 1;
}
