#include "chart/bar_period.h"

namespace {

struct AshiWords {
  const char* unit;
  const char* name;
};
const AshiWords kWords[] = {{"日", "日足"}, {"週", "週足"}, {"月", "月足"}};

}  // namespace

const char* AshiUnitWord(int ashi) { return ashi >= ASHI_DAILY && ashi <= ASHI_MONTHLY ? kWords[ashi - 1].unit : ""; }

const char* AshiName(int ashi) { return ashi >= ASHI_DAILY && ashi <= ASHI_MONTHLY ? kWords[ashi - 1].name : ""; }
