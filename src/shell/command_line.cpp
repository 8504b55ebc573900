#include "shell/command_line.h"

#include <cstdlib>
#include <cstring>

#include "db/stock_code.h"
#include "platform/host.h"
#include "platform/command_ids.h"
#include "shell/shell_state.h"

int SplitArgs(const char* text, char out[ARG_MAX_TOKENS][ARG_TOKEN_BYTES]) {
  int count = 0;
  const char* p = text;
  while (*p && count < ARG_MAX_TOKENS) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    size_t len = static_cast<size_t>(p - start);
    if (len >= ARG_TOKEN_BYTES - 1) continue;  // 255 characters or more: skipped
    std::memcpy(out[count], start, len);
    out[count][len] = '\0';
    ++count;
  }
  return count;
}

int ParseStartOptions(const char* text) {
  char line[256];
  std::strncpy(line, text ? text : "", 255);
  line[255] = '\0';
  char tokens[ARG_MAX_TOKENS][ARG_TOKEN_BYTES];
  int n = SplitArgs(line, tokens);
  for (int i = 0; i < n; ++i) {
    if (std::strncmp(tokens[i], "-C", 2) == 0) StartCode = String_to_Code(tokens[i] + 2);
    else if (std::strncmp(tokens[i], "-D", 2) == 0) StartAshi = std::atoi(tokens[i] + 2);
  }
  return n;
}

void PostStartCommands() {
  if (StartCode >= 1001 && StartCode <= CODE_MAX) {
    if (StartCode + IDM_SELECT_STOCK_BASE <= IDM_SELECT_STOCK_LAST) HostPostCommand(StartCode + IDM_SELECT_STOCK_BASE);
    else HostPostCommand(IDM_SELECT_CODE, StartCode);
  }
  static const int kAshiCommand[] = {0, IDM_ASHI_DAILY, IDM_ASHI_WEEKLY, IDM_ASHI_MONTHLY};
  if (StartAshi >= 1 && StartAshi <= 3) HostPostCommand(kAshiCommand[StartAshi]);
}

void TakeHandedOffOptions(const char* text) {
  StartCode = 0;
  StartAshi = 0;
  ParseStartOptions(text);
  PostStartCommands();
}
