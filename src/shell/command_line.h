// The command-line options "-C" (code text of the stock to show) and "-D" (bar period).
#pragma once

constexpr int ARG_MAX_TOKENS = 4;
constexpr int ARG_TOKEN_BYTES = 256;

// Splits at blanks into at most 4 tokens of 1 to 254 characters; longer tokens are skipped.
int SplitArgs(const char* text, char out[ARG_MAX_TOKENS][ARG_TOKEN_BYTES]);
// Reads the options of a command line (at most 255 characters count) into StartCode and
// StartAshi. Returns the number of tokens.
int ParseStartOptions(const char* text);
// Posts the commands that show StartCode and StartAshi to the main window.
void PostStartCommands();
// Options handed over by a second start: they replace StartCode and StartAshi and their
// commands are posted.
void TakeHandedOffOptions(const char* text);
