#include "platform/qt/command_menus.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "platform/command_dispatch.h"
#include "platform/qt/qt_codepage.h"
#include "platform/virtual_keys.h"
#include "res/menus.h"

void AddMenuItems(QMenu* menu, const MenuItemDef* items, int count) {
  for (int i = 0; i < count; ++i) {
    const MenuItemDef& d = items[i];
    if (!d.text) {
      menu->addSeparator();
    } else if (d.submenu) {
      QMenu* sub = menu->addMenu(FromCp932(d.text));
      AddMenuItems(sub, d.submenu, d.submenu_count);
    } else {
      QAction* a = menu->addAction(FromCp932(d.text));  // the text after the tab shows the key
      a->setData(d.id);
    }
  }
}

int VirtualKeyOf(const QKeyEvent* e) {
  const int k = e->key();
  const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return keypad ? VK_NUMPAD0 + (k - Qt::Key_0) : k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return VK_F1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    default: return 0;
  }
}

namespace {

// The items of one menu, without its submenus.
void ApplyToItems(QMenu* menu) {
  for (QAction* a : menu->actions()) {
    const int id = a->menu() ? 0 : a->data().toInt();
    if (id == 0) continue;
    const int check = CommandCheckState(id);
    a->setCheckable(check >= 0);
    if (check >= 0) a->setChecked(check == 1);
    a->setEnabled(CommandEnabled(id));
  }
}

// Tool-bar buttons are greyed like menu items but never become check buttons.
void ApplyToButtons(QToolBar* bar) {
  for (QAction* a : bar->actions())
    if (const int id = a->data().toInt()) a->setEnabled(CommandEnabled(id));
}

}  // namespace

void ApplyCommandStates(QMenu* menu) {
  ApplyToItems(menu);
  for (QMenu* sub : menu->findChildren<QMenu*>()) ApplyToItems(sub);
}

void ApplyCommandStates(QWidget* window) {
  for (QMenu* m : window->findChildren<QMenu*>()) ApplyToItems(m);
  for (QToolBar* t : window->findChildren<QToolBar*>()) ApplyToButtons(t);
}

void RefreshAllCommandStates() {
  for (QWidget* w : QApplication::topLevelWidgets()) ApplyCommandStates(w);
}
