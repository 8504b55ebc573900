// The main window's keys, characters and wheel, as plain functions the widgets forward to.
#pragma once

// A key went down (virtual key code).
void MainOnKeyDown(int vk);
// A key came up.
void MainOnKeyUp(int vk);
// A typed character (after keyboard translation).
void MainOnChar(int ch);
// The wheel turned by delta (120 per notch, positive away from the user).
void MainOnWheel(int delta);
// An accelerator key: runs its command and returns true, or returns false.
bool MainOnAccelerator(int vk, bool ctrl);
