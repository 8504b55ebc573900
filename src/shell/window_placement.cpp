#include "shell/window_placement.h"

#include <algorithm>

#include "platform/diagnostics.h"
#include "platform/hooks.h"


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

void FitPlacementToDesktop(WinPlacement& rec, int desk_left, int desk_top, int desk_right, int desk_bottom) {
  const int desk_w = std::max(desk_right - desk_left, 1), desk_h = std::max(desk_bottom - desk_top, 1);
  // Widths in 64 bits: the record may hold any coordinates the file held.
  const int w = static_cast<int>(std::clamp<long long>(static_cast<long long>(rec.right) - rec.left, 1, desk_w));
  const int h = static_cast<int>(std::clamp<long long>(static_cast<long long>(rec.bottom) - rec.top, 1, desk_h));
  WinPlacement p = rec;
  p.left = static_cast<int>(std::clamp<long long>(static_cast<long long>(rec.left) - desk_left, -desk_w, desk_w));
  p.top = static_cast<int>(std::clamp<long long>(static_cast<long long>(rec.top) - desk_top, -desk_h, desk_h));
  ClampPlacementPosition(p, w, h, desk_w, desk_h);
  rec.left = p.left + desk_left;
  rec.top = p.top + desk_top;
  rec.right = rec.left + w;
  rec.bottom = rec.top + h;
}
