// The program entry: options, the single-instance rule, the main window and the loop.
#pragma once

class QString;
class QWidget;

// Runs the program; returns the exit code (2 for an unknown option or a bad option value,
// named on standard error). `Vurn --help` lists the options.
int RunVurn(int argc, char** argv);

// Types keys into a top-level window as the keyboard would, through the window's own key
// handling (accelerators first): a blank is the Space key, "\b" Backspace, "\t" Tab,
// "\r" or "\n" Return, "\x1b" Escape; other characters are their own keys.
void TypeKeys(QWidget* window, const QString& keys);

// Ends the program in order as the exit command does, from wherever it is: every open modal
// box or dialog returns as cancelled (a box with only OK as OK), later ones at once, then the
// main window closes and the settings are saved. For SIGTERM and the desktop's session end.
void RequestOrderlyEnd();
