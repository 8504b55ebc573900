// The working folder: every data file of the program lies in the folder it starts in.
#pragma once

#include <string>

// The working folder at start-up, always ending in "/".
extern char CurrentDir[260];

// Sets CurrentDir from a folder name, appending "/" unless it already ends in one.
void SetCurrentDir(const char* dir);
// CurrentDir + name.
std::string DataFilePath(const char* name);
