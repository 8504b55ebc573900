// Program-wide state of the application shell.
#pragma once

// Stock code from the "-C" option (0 when none) and bar period from "-D" (0 when none).
extern int StartCode;
extern int StartAshi;
// 1 while the main window has focus and no menu is open.
extern int fMainActive;
// Set for a screenshot run: it shows the user's settings but saves nothing at the end.
extern int fNoSaveAtEnd;
