#include "lists/screening_groups.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "lists/screening_engine.h"
#include "platform/codepage.h"
#include "platform/host.h"

namespace {

bool ValidGroup(int g) { return g >= 0 && g < ScreGroupNum && g < SCRE_GROUP_MAX; }

// The current group, kept within the groups in use.
ScreGroupEntry& Current() {
  if (!ValidGroup(ScreGroupSelect)) ScreGroupSelect = 0;
  return ScreGroup[ScreGroupSelect];
}

// Slots a page offers, for the radar's scale: pages 1 to 6.
constexpr int kRadarScale[SCRE_RADAR_PAGES] = {11, 6, 6, 4, 6, 4};

}  // namespace

void ScreStoreGroup() { std::memcpy(Current().cond, ScreCond, sizeof ScreCond); }

void ScreLoadGroup() {
  ScreGroupEntry& g = Current();
  ClampScreCond(g.cond);
  std::memcpy(ScreCond, g.cond, sizeof ScreCond);
}

void ScreSelectGroup(int g) {
  if (!ValidGroup(g)) return;
  ScreStoreGroup();
  ScreGroupSelect = g;
  ScreLoadGroup();
}

bool ScreNewGroup() {
  if (ScreGroupNum >= SCRE_GROUP_CREATE_LIMIT) {
    HostMessageBox("これ以上グループを作成できません", "注意", MB_OK);
    return false;
  }
  ScreStoreGroup();
  ScreGroupEntry& g = ScreGroup[ScreGroupNum];
  std::memset(&g, 0, sizeof g);
  std::snprintf(g.name, sizeof g.name, "%s %d", "新しいスクリーニンググループ", ScreGroupNum + 1);
  ScreGroupSelect = ScreGroupNum++;
  ScreLoadGroup();
  return true;
}

void ScreRenameGroup(const char* name) {
  ScreGroupEntry& g = Current();
  Cp932CopyTruncated(g.name, sizeof g.name, name ? name : "");
  // Bytes below 0x20 never occur inside a double-byte character, so this keeps the text.
  for (char* c = g.name; *c; ++c)
    if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7f) *c = ' ';
}

bool ScreDeleteGroup() {
  if (ScreGroupNum <= 1) {
    HostMessageBox("全てのグループを消すことは出来ません", "注意", MB_OK);
    return false;
  }
  const std::string msg = std::string("「") + Current().name + "」を削除しますか？";
  if (HostMessageBox(msg.c_str(), "グループの削除", MB_OKCANCEL) != IDOK) return false;
  const int g = ScreGroupSelect;
  for (int i = g; i + 1 < ScreGroupNum; ++i) ScreGroup[i] = ScreGroup[i + 1];
  --ScreGroupNum;
  ScreGroupSelect = g > 0 ? g - 1 : 0;
  ScreLoadGroup();
  return true;
}

bool ScrePageSet(const int32_t* cond, int page) {
  if (page < 0 || page >= SCRE_PAGES) return false;
  for (int s = 0; s < SCRE_PAGE_SLOTS; ++s)
    if (cond[page * SCRE_PAGE_SLOTS + s] != 0) return true;
  return false;
}

int ScreRadarValue(const int32_t* cond, int page) {
  if (page < 0 || page >= SCRE_RADAR_PAGES) return 30;
  int n = 0;
  for (int s = 0; s < SCRE_PAGE_SLOTS; ++s)
    if (cond[page * SCRE_PAGE_SLOTS + s] != 0) ++n;
  const int v = 30 + ((n * 70) / kRadarScale[page]) * 3 / 2;
  return v > 100 ? 100 : v;
}

RadarShape ScreRadarShape(int w, int h, const int values[SCRE_RADAR_PAGES]) {
  RadarShape r{};
  r.centre = {w / 2, h / 2};
  r.radius = (w / 2) * 3 / 5;
  // Exact cosines and sines of 0, 60, ... 300 degrees, so mirrored points round alike.
  const double s3 = std::sqrt(3.0) / 2;
  const double cosine[SCRE_RADAR_PAGES] = {1, 0.5, -0.5, -1, -0.5, 0.5};
  const double sine[SCRE_RADAR_PAGES] = {0, s3, s3, 0, -s3, -s3};
  auto at = [&](int page, double dist) {
    return RadarPoint{r.centre.x + static_cast<int>(std::lround(dist * cosine[page])),
                      r.centre.y - static_cast<int>(std::lround(dist * sine[page]))};
  };
  for (int p = 0; p < SCRE_RADAR_PAGES; ++p) {
    r.corner[p] = at(p, r.radius);
    r.point[p] = at(p, r.radius * 11.0 / 12.0 * values[p] / 100.0);
  }
  // Neighbouring areas meet where the larger value gets the larger share of the edge.
  for (int p = 0; p < SCRE_RADAR_PAGES; ++p) {
    const int q = (p + 1) % SCRE_RADAR_PAGES;
    const double sum = values[p] + values[q];
    const double t = sum > 0 ? values[p] / sum : 0.5;
    const RadarPoint a = r.point[p], b = r.point[q];
    r.between[p] = {a.x + static_cast<int>(std::lround((b.x - a.x) * t)),
                    a.y + static_cast<int>(std::lround((b.y - a.y) * t))};
  }
  return r;
}
