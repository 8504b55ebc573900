// Program-wide state of the application shell.
#pragma once

#include <string>

// The working folder at start-up, always ending in "/"; every data file lies in it.
extern char CurrentDir[260];
// Stock number of the stock shown in the chart; 0 at start.
extern int DispNum;
// Set while a command that changes prices runs.
extern int fBusy;
// Stock code from the "-C" option (0 when none) and bar period from "-D" (0 when none).
extern int StartCode;
extern int StartAshi;
// Creation date stored in the stock master file, 0 when reading it failed.
extern int TagDate;
// 1 while the main window has focus and no menu is open.
extern int fMainActive;

// Sets CurrentDir from a folder name, appending "/" unless it already ends in one.
void SetCurrentDir(const char* dir);
// CurrentDir + name.
std::string DataFilePath(const char* name);
