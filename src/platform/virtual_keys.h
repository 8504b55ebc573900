// Key codes of the key handlers and the accelerator table (the values of the original
// platform's virtual keys; letters and digits are their upper-case ASCII codes).
#pragma once

enum : int {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,  // Page Up
  VK_NEXT = 0x22,   // Page Down
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_NUMPAD0 = 0x60,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_F1 = 0x70,
  VK_F7 = 0x76,
  VK_F8 = 0x77,
  VK_F9 = 0x78,
  VK_F10 = 0x79,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
  VK_OEM_PLUS = 0xBB,
  VK_OEM_MINUS = 0xBD,
};
