// Window placements: the nine numbers under which the main window and the tool windows
// keep their screen positions from run to run (keys ending in "WinPos" of section
// "General"). Their rows in the settings table (shell/settings_table.cpp) give the defaults
// and define the records; the windows apply and read them through the desktop.
#pragma once

#include <cstdint>

// Show states of a placement.
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;

// Order of the nine numbers in the file.
struct WinPlacement {
  int show;          // show state when it was read back
  int min_x, min_y;  // minimised position
  int max_x, max_y;  // maximised position
  int left, top, right, bottom;  // the normal (restored) rectangle, right and bottom excluded
};

// The records, named after their keys (a rectangle that no window could have, empty,
// inverted or beyond the 16-bit coordinates of any desktop, is replaced by the default
// placement when the file is read).
extern WinPlacement WinPos;          // main window
extern WinPlacement FunWinPos;       // company information window
extern WinPlacement PntFgrWinPos;    // point-and-figure / comparison window
extern WinPlacement FavoriteWinPos;  // favourites window
extern WinPlacement KensakuWinPos;   // stock search result window
extern WinPlacement YutaiWinPos;     // shareholder-benefit window
extern WinPlacement JuniWinPos;      // ranking window
extern WinPlacement ScreWinPos;      // screening window
extern WinPlacement RirekiWinPos;    // trade-history window
extern WinPlacement CrossWinPos;     // cross-cursor price box

// (MainPlacementApply and MainPlacementRead, filled by the main window: platform/hooks.h.)
// Applies WinPos to the main window with the show state replaced by SW_SHOW, so a window
// saved maximised reopens in its normal rectangle; "Fail SetWinPlace!\n" on failure.
void ApplyMainWindowPlacement();
// Reads the main window's placement back into WinPos; "画面配置位置取得失敗\n" on failure,
// leaving WinPos as it was.
void RecordMainWindowPlacement();

// The position-only restore of a tool window of size w x h on a desktop whose client area
// ends at desk_right, desk_bottom: left and top are clamped so that at least a fifth of the
// width, and of the height but no less than 50 pixels, stays on the desktop. Only the
// record's left and top change; the window keeps its current size.
void ClampPlacementPosition(WinPlacement& rec, int w, int h, int desk_right, int desk_bottom);

// Fits a placement's normal rectangle to the available desktop area (left, top, right and
// bottom, right and bottom excluded) before a window is given it: a width or height larger
// than the area is cut to the area's, and the position is then clamped as the
// position-only restore does, relative to the area's origin.
void FitPlacementToDesktop(WinPlacement& rec, int desk_left, int desk_top, int desk_right, int desk_bottom);
