// Qt menus built from the command tables, and the check marks and greying that the command
// dispatch derives from program state; shared by every window that has a menu.
#pragma once

class QKeyEvent;
class QMenu;
class QWidget;
struct MenuItemDef;

// Builds menu items from a table; every item carries its command in data().
void AddMenuItems(QMenu* menu, const MenuItemDef* items, int count);
// Brings the check marks and greying of every item of a menu (and its submenus) up to
// date with the program state.
void ApplyCommandStates(QMenu* menu);
// The same for every menu of a window (its menu bar and pop-ups that are its children) and
// the buttons of its tool bars (greying only).
void ApplyCommandStates(QWidget* window);
// The same for every top-level window: after a command, whichever window ran it.
void RefreshAllCommandStates();
// The virtual key of a Qt key event, or 0.
int VirtualKeyOf(const QKeyEvent* e);
