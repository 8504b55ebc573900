#include "platform/file_filters.h"

#include "platform/codepage.h"

namespace {

// Splits at an ASCII separator, stepping over double-byte characters: '|' is also the
// second byte of some CP932 characters ("ポ" is 0x83 0x7C).
std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(b) && i + 1 < text.size()) {
      parts.back() += text.substr(i, 2);
      ++i;
    } else if (text[i] == sep) {
      parts.emplace_back();
    } else {
      parts.back() += text[i];
    }
  }
  return parts;
}

}  // namespace

std::vector<FileFilter> ParseFileFilters(const char* filters) {
  std::vector<FileFilter> out;
  if (!filters) return out;
  const std::vector<std::string> parts = Split(filters, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f{parts[i], {}};
    for (const std::string& p : Split(parts[i + 1], ';'))
      if (!p.empty()) f.patterns.push_back(p);
    if (!f.patterns.empty()) out.push_back(std::move(f));
  }
  return out;
}
