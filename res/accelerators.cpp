#include "res/accelerators.h"

#include "platform/virtual_keys.h"

const AcceleratorDef VurnAccel[] = {
    {'0', true, 40114},     {'1', true, 40077},     {'2', true, 40091},     {'3', true, 40098},
    {'4', true, 40093},     {'5', true, 40094},     {'6', true, 40095},     {'7', true, 40107},
    {'8', true, 40106},     {'9', true, 40124},     {'C', true, 40137},     {'F', true, 40010},
    {VK_F12, false, 40109}, {'I', true, 40089},     {'K', true, 40097},     {'L', true, 40092},
    {'M', true, 40138},     {'S', true, 40090},     {VK_F1, false, 104},    {VK_F7, false, 40144},
    {VK_F8, false, 40132},  {VK_F9, false, 40086},  {VK_F10, false, 40085}, {VK_F11, false, 40110},
    {VK_F11, true, 40114},  {VK_F12, true, 40115},
};
const int VurnAccelCount = sizeof(VurnAccel) / sizeof(VurnAccel[0]);

int FindAccelerator(int vk, bool ctrl) {
  for (const AcceleratorDef& a : VurnAccel)
    if (a.vk == vk && a.ctrl == ctrl) return a.id;
  return 0;
}
