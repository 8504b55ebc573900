#include "shell/window_placement.h"

#include <algorithm>

#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/profile_file.h"

namespace {
constexpr WinPlacement kMain = {1, -1, -1, -1, -1, 14, 12, 774, 592};
constexpr WinPlacement kFun = {1, -1, -1, -1, -1, 419, 66, 930, 636};
constexpr WinPlacement kList = {1, -1, -1, -1, -1, 53, 75, 586, 588};
constexpr WinPlacement kKensaku = {1, -1, -1, -1, -1, 89, 93, 296, 508};
constexpr WinPlacement kJuni = {1, -1, -1, -1, -1, 168, 138, 424, 714};
constexpr WinPlacement kScre = {1, -1, -1, -1, -1, 153, 171, 591, 417};
constexpr WinPlacement kRireki = {1, -1, -1, -1, -1, 130, 158, 735, 671};
constexpr WinPlacement kCross = {1, -1, -1, -1, -1, 93, 469, 213, 605};
}  // namespace

WinPlacement WinPos = kMain;
WinPlacement FunWinPos = kFun;
WinPlacement PntFgrWinPos = kFun;
WinPlacement FavoriteWinPos = kList;
WinPlacement KensakuWinPos = kKensaku;
WinPlacement YutaiWinPos = kList;
WinPlacement JuniWinPos = kJuni;
WinPlacement ScreWinPos = kScre;
WinPlacement RirekiWinPos = kRireki;
WinPlacement CrossWinPos = kCross;

const PlacementKey PlacementKeys[PLACEMENT_KEY_COUNT] = {
    {"WinPos", &WinPos, kMain},
    {"FunWinPos", &FunWinPos, kFun},
    {"PntFgrWinPos", &PntFgrWinPos, kFun},
    {"FavoriteWinPos", &FavoriteWinPos, kList},
    {"KensakuWinPos", &KensakuWinPos, kKensaku},
    {"YutaiWinPos", &YutaiWinPos, kList},
    {"JuniWinPos", &JuniWinPos, kJuni},
    {"ScreWinPos", &ScreWinPos, kScre},
    {"RirekiWinPos", &RirekiWinPos, kRireki},
    {"CrossWinPos", &CrossWinPos, kCross},
};


namespace {

constexpr int kCoordMax = 32767;

bool InCoords(int v) { return v >= -kCoordMax && v <= kCoordMax; }

bool Plausible(const WinPlacement& p) {
  return InCoords(p.left) && InCoords(p.top) && InCoords(p.right) && InCoords(p.bottom) &&
         p.right > p.left && p.bottom > p.top && p.right - p.left <= kCoordMax &&
         p.bottom - p.top <= kCoordMax;
}

}  // namespace

void ResetWindowPlacements() {
  for (const PlacementKey& k : PlacementKeys) *k.record = k.def;
}

void ReadPlacement(const ProfileFile& ini, const char* section, const char* key, WinPlacement& rec,
                   const WinPlacement& def) {
  int v[9] = {rec.show, rec.min_x, rec.min_y, rec.max_x, rec.max_y, rec.left, rec.top, rec.right, rec.bottom};
  ProfileGetInts(ini, section, key, v, 9);
  WinPlacement p = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
  if (!Plausible(p)) {
    PRT("設定 %s の画面配置 %d %d %d %d は使えないので既定の配置にします\n", key, p.left, p.top, p.right,
        p.bottom);
    p = def;
  }
  rec = p;
}

void WritePlacement(ProfileFile& ini, const char* section, const char* key, const WinPlacement& rec) {
  const int v[9] = {rec.show, rec.min_x, rec.min_y, rec.max_x, rec.max_y, rec.left, rec.top, rec.right, rec.bottom};
  ProfileSetInts(ini, section, key, v, 9);
}

void ApplyMainWindowPlacement() {
  if (!MainPlacementApply) return;
  WinPlacement p = WinPos;
  p.show = SW_SHOW;
  if (!MainPlacementApply(p)) PRT("Fail SetWinPlace!\n");
}

void RecordMainWindowPlacement() {
  if (!MainPlacementRead) return;
  WinPlacement p = WinPos;
  if (MainPlacementRead(p)) WinPos = p;
  else PRT("画面配置位置取得失敗\n");
}

void ClampPlacementPosition(WinPlacement& rec, int w, int h, int desk_right, int desk_bottom) {
  int left = std::max(rec.left, -(80 * w / 100));
  int top = std::max(rec.top, -(80 * h / 100));
  left = std::min(left, desk_right - 20 * w / 100);
  top = std::min(top, desk_bottom - std::max(20 * h / 100, 50));
  rec.left = left;
  rec.top = top;
}
