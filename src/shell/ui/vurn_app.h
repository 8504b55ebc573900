// The program entry: options, the single-instance rule, the main window and the loop.
#pragma once

// Runs the program; returns the exit code.
//   -C<code> -D<1|2|3>   show a stock / a bar period (handed to a running instance)
//   --screenshot FILE    render the visible windows to a PNG once started, then end
//   --keys TEXT          type these characters into the main window first (with --screenshot)
int RunVurn(int argc, char** argv);
