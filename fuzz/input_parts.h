// An input made of several parts (pages, files), separated by PART_SEPARATOR; the last part
// runs to the input's end.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

constexpr std::string_view PART_SEPARATOR = "\n=====\n";

inline std::vector<std::string_view> SplitParts(const unsigned char* data, size_t size) {
  std::vector<std::string_view> parts;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (;;) {
    const size_t cut = rest.find(PART_SEPARATOR);
    parts.push_back(rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + PART_SEPARATOR.size());
  }
  return parts;
}
