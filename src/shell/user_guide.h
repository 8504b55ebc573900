// The user guide: Japanese HTML pages installed with the program and opened in the desktop's browser.
#pragma once

#include <string>
#include <vector>

// The folders the guide is looked for in, first match wins: <prefix>/share/kivora/help beside the
// installed binary, then the source tree's res/help for a program run from its build folder.
std::vector<std::string> UserGuideFolders();
// index.html in the first of the folders that holds one; empty when none does.
std::string FindUserGuide(const std::vector<std::string>& folders);
// Opens the guide's index in the desktop's browser; when it is missing, a box names where it was
// looked for. False when nothing was opened.
bool OpenUserGuide(const std::vector<std::string>& folders);
