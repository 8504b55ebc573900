#include "platform/web_url.h"

bool UrlHasBlankOrControl(std::string_view url) {
  for (unsigned char c : url)
    if (c <= 0x20 || c == 0x7F) return true;
  return false;
}

bool IsWellFormedWebUrl(std::string_view url) {
  size_t rest;
  if (url.starts_with("https://")) rest = 8;
  else if (url.starts_with("http://")) rest = 7;
  else return false;
  if (url.size() <= rest || url[rest] == '/') return false;
  return !UrlHasBlankOrControl(url);
}
