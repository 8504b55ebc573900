// The accelerator table "VURN_ACCEL": virtual key, with or without Ctrl, and its command.
#pragma once

struct AcceleratorDef {
  int vk;
  bool ctrl;
  int id;
};

extern const AcceleratorDef VurnAccel[];
extern const int VurnAccelCount;

// The command of a key, or 0 when the table has none.
int FindAccelerator(int vk, bool ctrl);
