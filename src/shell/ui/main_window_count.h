// How many main windows of the program are open, for the timed download, which runs only
// while there is exactly one.
#pragma once

// The top-level windows named "MIRELO" and titled "Kivora" (a window without a title does
// not count).
int CountMainWindows();
