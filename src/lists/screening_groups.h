// The screening window's plain logic: moving the working condition set ScreCond between
// the named groups, creating, renaming and deleting groups, the pages' condition flags and
// the radar chart's values and shape. The window (lists/ui/screening_window.*) calls these.
#pragma once

#include <cstdint>

#include "lists/screening_settings.h"

constexpr int SCRE_RADAR_PAGES = 6;  // pages 1 to 6 have a radar axis
// Groups are created only while fewer than this many exist.
constexpr int SCRE_GROUP_CREATE_LIMIT = 99;

// Copies ScreCond into the current group.
void ScreStoreGroup();
// Copies the current group into ScreCond, keeping every slot within its choices (group
// blocks come from the settings file and may hold anything).
void ScreLoadGroup();
// Stores into the current group, makes group g current and loads it. Ignored outside the groups.
void ScreSelectGroup(int g);
// Adds a group with no conditions named "新しいスクリーニンググループ %d" (its 1-based
// number), makes it current and loads it. False, with the box "これ以上グループを作成できません",
// from SCRE_GROUP_CREATE_LIMIT groups on.
bool ScreNewGroup();
// Names the current group: cut to 255 bytes at a character boundary, control characters
// (line breaks among them) become blanks, so a name stays one settings line.
void ScreRenameGroup(const char* name);
// Asks "「%s」を削除しますか？" and removes the current group; the group before it becomes
// current. The last group is never removed ("全てのグループを消すことは出来ません").
// True when a group was removed.
bool ScreDeleteGroup();

// Whether page p (0 to 6) of a condition set holds any condition.
bool ScrePageSet(const int32_t* cond, int page);
// The radar value (30 to 100) of page p (0 to 5) of a condition set.
int ScreRadarValue(const int32_t* cond, int page);

// The radar chart on a client area of width w and height h: centre, the hexagon's corners
// (the axis ends), each page's point and, between neighbouring pages p and p + 1, the point
// where their coloured areas meet. Page p lies on the axis at p * 60 degrees, counted
// anticlockwise from the right.
struct RadarPoint {
  int x, y;
};
struct RadarShape {
  RadarPoint centre;
  int radius;
  RadarPoint corner[SCRE_RADAR_PAGES];
  RadarPoint point[SCRE_RADAR_PAGES];
  RadarPoint between[SCRE_RADAR_PAGES];  // between page p and page (p + 1) % 6
};
RadarShape ScreRadarShape(int w, int h, const int values[SCRE_RADAR_PAGES]);
