#include "lists/screening_settings.h"

#include <cstring>

#include "platform/codepage.h"

ScreGroupEntry ScreGroup[SCRE_GROUP_MAX];
int ScreGroupNum;
int ScreGroupSelect;

namespace {
[[maybe_unused]] const bool kDefaultsSet = (ResetScreeningSettings(), true);
}

void ResetScreeningSettings() {
  for (ScreGroupEntry& g : ScreGroup) {
    std::memset(&g, 0, sizeof g);
    Cp932CopyTruncated(g.name, sizeof g.name, SCRE_GROUP_DEFAULT_NAME);
  }
  ScreGroupNum = 1;
  ScreGroupSelect = 0;
}
