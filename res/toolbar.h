// The tool bar (15 positions), its 17 button images and the tool-tip string table.
#pragma once

struct ToolButtonDef {
  int image;  // index into ToolBarImages, -1 for a separator
  int id;     // command
};

constexpr int TOOLBAR_ID = 40019;
constexpr int TOOLBAR_POSITIONS = 15;
extern const ToolButtonDef ToolBarButtons[TOOLBAR_POSITIONS];

// 17 pictograms of 16 x 15 pixels: '.' transparent, 'k' black, 'w' white, 'g' grey,
// 'r' red, 'b' blue, 'y' yellow, 'G' green.
constexpr int TOOLBAR_IMAGES = 17;
constexpr int TOOLBAR_IMAGE_W = 16;
constexpr int TOOLBAR_IMAGE_H = 15;
extern const char* const ToolBarImages[TOOLBAR_IMAGES][TOOLBAR_IMAGE_H];

// The string-table entry of a command (the tool tips), or nullptr.
const char* LoadStringEntry(int id);
