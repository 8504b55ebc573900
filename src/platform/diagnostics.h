// The diagnostic history ("情報表示"): PRT lines, the optional "output" file, and the
// fatal-error report that ends the program.
#pragma once

#include <cstddef>

constexpr int PRT_LINES = 400;        // lines kept in the history
constexpr int PRT_LINE_BYTES = 256;   // bytes per history slot
constexpr int PRT_LINE_WIDTH = 100;   // characters per line before it wraps
constexpr int PRT_TEXT_MAX = 5119;    // longest text one PRT call writes
constexpr int PRT_TOP_MAX = 366;      // PrtTop of the window at its bottom

// History, oldest first; the last slot is the line being written.
extern char PrtLines[PRT_LINES][PRT_LINE_BYTES];
extern int PrtColumn;   // bytes already in the last slot
extern int PrtTop;      // history slot shown at the top of the diagnostic window
extern int fPrtOff;     // while set, PRT does nothing
extern int fPrtFile;    // while set, PRT texts are appended to the file "output"
extern char FatalWhere[512];


// Formats and appends to the history (and the "output" file when on). A text longer than
// 5119 bytes is cut at a character boundary.
void PRT(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Records where the next Fatal is raised.
void FatalAt(const char* file, int line);
// Reports an internal error (location in a box, detail in the history) and ends the
// process with exit code 1 without saving anything.
[[noreturn]] void Fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Switches the "output" file on or off.
void TogglePrtFile();
// The whole history, each non-empty line followed by "\n".
size_t PrtHistoryText(char* out, size_t size);
// Puts the whole history on the clipboard.
void CopyPrtToClipboard();
// Empties the history (tests).
void ClearPrtHistory();
// Moves the window's top line by delta and clamps it; returns the change applied.
int MovePrtTop(int delta);
