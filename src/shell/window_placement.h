// Window placements: the nine numbers under which the main window and the tool windows
// keep their screen positions from run to run (keys ending in "WinPos" of section
// "General"). The records live here; the windows apply and read them through the desktop.
#pragma once

#include <cstdint>

struct ProfileFile;

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

// The records, named after their keys.
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

// The placement keys in file order with their records and defaults.
struct PlacementKey {
  const char* key;
  WinPlacement* record;
  WinPlacement def;
};
constexpr int PLACEMENT_KEY_COUNT = 10;
extern const PlacementKey PlacementKeys[PLACEMENT_KEY_COUNT];

// Puts every record back to its default.
void ResetWindowPlacements();
// Reads one placement key into rec. Missing numbers keep what rec held; a rectangle that
// no window could have (empty, inverted, or beyond the 16-bit coordinates of any desktop)
// gives def, with a PRT line naming the key.
void ReadPlacement(const ProfileFile& ini, const char* section, const char* key, WinPlacement& rec,
                   const WinPlacement& def);
// Writes rec as nine numbers.
void WritePlacement(ProfileFile& ini, const char* section, const char* key, const WinPlacement& rec);

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
