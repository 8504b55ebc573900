#include "shell/command_dispatch.h"

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

}  // namespace

void RegisterCommand(int id, CommandHandler handler) { Singles()[id] = handler; }

void RegisterCommandRange(int first, int last, CommandHandler handler) {
  Ranges().push_back({first, last, handler});
}

bool OnCommand(int id) {
  auto it = Singles().find(id);
  if (it != Singles().end() && it->second) {
    it->second(id);
    return true;
  }
  for (auto r = Ranges().rbegin(); r != Ranges().rend(); ++r) {
    if (id >= r->first && id <= r->last && r->handler) {
      r->handler(id);
      return true;
    }
  }
  return false;
}

void ClearCommands() {
  Singles().clear();
  Ranges().clear();
}
