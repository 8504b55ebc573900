// Runs a shell command as the tests run the programs: its exit code and what it printed on
// standard output and standard error together.
#pragma once

#include <cstdint>
#include <string>

struct CommandRun {
  int code = -1;  // exit code, -1 when it did not exit normally
  std::string out;
};

CommandRun RunCommand(const std::string& command);
// The same with the program's clock starting at `at` (seconds since 1970) and running on from
// there, through libfaketime: for programs whose work depends on the date, such as a download
// that only merges trading days.
CommandRun RunCommandAt(const std::string& command, int64_t at);
