// Stands in for the page fetch (net/page_fetch.cpp, which the linker then leaves out of
// the target): each GetHttpFile hands out the next page of the input as if it had arrived,
// reduced to PageText as the real fetch does. The input's pages are separated by
// PAGE_SEPARATOR; a missing page is a failed fetch.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "net/page_fetch.h"
#include "net/page_text.h"

constexpr std::string_view PAGE_SEPARATOR = "\n=====\n";

inline std::vector<std::string_view> g_pages;
inline size_t g_next_page = 0;

// Splits the input into the pages the following fetches receive.
inline void ServePages(const unsigned char* data, size_t size) {
  g_pages.clear();
  g_next_page = 0;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (;;) {
    const size_t cut = rest.find(PAGE_SEPARATOR);
    g_pages.push_back(rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + PAGE_SEPARATOR.size());
  }
}

int GetHttpFile(const char*) {
  if (g_next_page >= g_pages.size()) return 0;
  std::string_view page = g_pages[g_next_page++];
  if (page.size() > static_cast<size_t>(HTTP_BUF_SIZE) - 1) page = page.substr(0, HTTP_BUF_SIZE - 1);
  std::memcpy(HttpBuf, page.data(), page.size());
  HttpBuf[page.size()] = '\0';
  HttpBufLen = static_cast<int>(page.size());
  ReduceHtml(HttpBufLen);
  return 1;
}
