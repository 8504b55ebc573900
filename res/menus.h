// The menu bar "MIRELO" and the chart menu "VURNPOPUP" as tables. Texts are CP932, with
// "&" before the access key and a tab before the shortcut text.
#pragma once

struct MenuItemDef {
  const char* text;             // nullptr: a separator
  int id;                       // command identifier (0 for a submenu)
  const MenuItemDef* submenu;   // items of a submenu, or nullptr
  int submenu_count;
};

// The five menus of the menu bar, in order; the fourth ("お気に入り(&A)") gets the
// favourites of the current folder appended at run time.
extern const MenuItemDef MainMenuBar[];
extern const int MainMenuBarCount;
constexpr int FAVORITES_MENU_INDEX = 3;

// The chart's right-button menu (its one pop-up).
extern const MenuItemDef ChartPopupMenu[];
extern const int ChartPopupMenuCount;

// The diagnostic window's menu "PRT_POPUP".
extern const MenuItemDef PrtPopupMenu[];
extern const int PrtPopupMenuCount;

// The cross window's menu "CROSS_POPUP" (one submenu with one item).
extern const MenuItemDef CrossPopupMenu[];
extern const int CrossPopupMenuCount;
