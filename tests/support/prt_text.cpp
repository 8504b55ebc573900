#include "support/prt_text.h"

#include <vector>

#include "platform/diagnostics.h"

std::string PrtJoined() {
  std::string s;
  for (int i = 0; i < PRT_LINES; ++i) s += PrtLines[i];
  return s;
}

std::string PrtHistory() {
  std::vector<char> buf(PRT_LINES * (PRT_LINE_BYTES + 1) + 1);
  const size_t n = PrtHistoryText(buf.data(), buf.size());
  return std::string(buf.data(), n);
}

bool PrtHas(std::string_view text) { return PrtJoined().find(text) != std::string::npos; }
