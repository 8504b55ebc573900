// The command line: the designed options "-C" (code text of the stock to show) and "-D"
// (bar period), which a start hands to a running instance, and the long options of this
// build (help, version, the screenshot run).
#pragma once

#include <string>
#include <vector>

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

// Everything the program's own command line asked for. Texts are as given (UTF-8 on
// this platform).
struct ProgramOptions {
  bool help = false;
  bool version = false;
  std::string start_options;  // the "-C"/"-D" tokens, blank-separated, for the hand-off
  // The screenshot run and what its picture shows; print_pdf is the PDF the print command
  // writes in the same run (either one alone makes the run).
  std::string screenshot;
  std::string print_pdf;
  std::string keys;
  std::vector<int> commands;
  std::string code;   // four-character code text
  int ashi = 0;       // 1 daily, 2 weekly, 3 monthly; 0 as the settings say
  int scheme = -1;    // colour scheme 0 to 2; -1 as the settings say
  int width = 0, height = 0;  // main window size; 0 as the settings say
  // True for a run with nobody at the screen: a picture, a PDF or both, then the end.
  bool Unattended() const { return !screenshot.empty() || !print_pdf.empty(); }
  // True when the picture shows the main window alone (a chart picture).
  bool ChartShot() const { return !code.empty() || ashi || scheme >= 0 || width > 0; }
};

constexpr int SHOT_SIZE_MAX = 4096;  // largest window side a screenshot run accepts

// Reads argv[1 .. argc). False when an option is unknown, lacks its value or has a bad
// value; *error then names that option (and only it), e.g. "--ashi: 1, 2 or 3 expected,
// not '5'".
bool ParseProgramOptions(int argc, const char* const* argv, ProgramOptions* out, std::string* error);
// The text printed by --help.
std::string ProgramUsageText();
// The colour scheme of a name: "黒"/"kuro"/"0", "白"/"shiro"/"1", "紺"/"kon"/"2" (UTF-8);
// -1 for any other.
int SchemeIndexOfName(const std::string& name);
