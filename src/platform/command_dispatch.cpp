#include "platform/command_dispatch.h"

#include <map>
#include <vector>

namespace {

struct Range {
  int first, last;
  CommandHandler handler;
};

std::map<int, CommandHandler>& Singles() {
  static std::map<int, CommandHandler> m;
  return m;
}
std::vector<Range>& Ranges() {
  static std::vector<Range> v;
  return v;
}
std::map<int, CommandStateFn>& Checks() {
  static std::map<int, CommandStateFn> m;
  return m;
}
std::map<int, CommandStateFn>& Enables() {
  static std::map<int, CommandStateFn> m;
  return m;
}

}  // namespace

void RegisterCommand(int id, CommandHandler handler) { Singles()[id] = handler; }

void RegisterCommandRange(int first, int last, CommandHandler handler) {
  Ranges().push_back({first, last, handler});
}

long CommandParam = 0;

namespace {

CommandHandler HandlerOf(int id) {
  auto it = Singles().find(id);
  if (it != Singles().end() && it->second) return it->second;
  for (auto r = Ranges().rbegin(); r != Ranges().rend(); ++r)
    if (id >= r->first && id <= r->last && r->handler) return r->handler;
  return nullptr;
}

}  // namespace

bool CommandHandled(int id) { return HandlerOf(id) != nullptr; }

bool OnCommand(int id, long param) {
  struct Restore {
    long saved;
    ~Restore() { CommandParam = saved; }
  } restore{CommandParam};
  CommandParam = param;
  const CommandHandler handler = HandlerOf(id);
  if (!handler) return false;
  handler(id);
  return true;
}

void ClearCommands() {
  Singles().clear();
  Ranges().clear();
  Checks().clear();
  Enables().clear();
}

void RegisterCommandCheck(int id, CommandStateFn is_checked) { Checks()[id] = is_checked; }
void RegisterCommandEnabled(int id, CommandStateFn is_enabled) { Enables()[id] = is_enabled; }

int CommandCheckState(int id) {
  auto it = Checks().find(id);
  if (it == Checks().end() || !it->second) return -1;
  return it->second() ? 1 : 0;
}

bool CommandEnabled(int id) {
  if (!CommandHandled(id)) return false;
  auto it = Enables().find(id);
  return it == Enables().end() || !it->second || it->second();
}
