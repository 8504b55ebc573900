// The screening groups: named copies of the condition set, kept in the settings file
// (section "Screening" and one section "SG%04d" per group; their rows are in the settings
// table, shell/settings_table.cpp, which defines the variables).
#pragma once

#include <cstdint>

constexpr int SCRE_GROUP_MAX = 100;  // entries of the group table
constexpr int SCRE_PAGES = 7;        // condition pages
constexpr int SCRE_PAGE_SLOTS = 20;  // slots per page
constexpr int SCRE_SLOTS = SCRE_PAGES * SCRE_PAGE_SLOTS;

struct ScreGroupEntry {
  char name[256];            // CP932, no line breaks
  int32_t cond[SCRE_SLOTS];  // page p holds slots 20 * p onward
};

extern ScreGroupEntry ScreGroup[SCRE_GROUP_MAX];
extern int ScreGroupNum;     // groups in use, 1 to SCRE_GROUP_MAX
extern int ScreGroupSelect;  // the group in use, 0 to ScreGroupNum - 1

// The name of a group that was never named.
constexpr const char* SCRE_GROUP_DEFAULT_NAME = "標準のスクリーニング";
