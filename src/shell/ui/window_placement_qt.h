// Applying and reading back the placement records of shell/window_placement.h on Qt
// windows: the normal rectangle's left and top are the frame's position, its width and
// height the window's own size, so a placement read back and applied again puts the window
// where it was.
#pragma once

#include "shell/window_placement.h"

class QWidget;

// Moves and sizes w to the placement's normal rectangle (the show state is the caller's),
// fitted first to the available area of its screen (FitPlacementToDesktop).
bool ApplyWindowPlacement(QWidget* w, const WinPlacement& p);
// Moves w to the placement's left and top, clamped to its screen's available area as the
// position-only restore does; w keeps its size.
bool ApplyWindowPosition(QWidget* w, const WinPlacement& p);
// Reads w's show state and normal rectangle into p (the minimised and maximised positions
// keep what p held). False when the window has no usable rectangle.
bool ReadWindowPlacement(const QWidget* w, WinPlacement& p);
