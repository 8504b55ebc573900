// Runs a shell command as the tests run the programs: its exit code and what it printed on
// standard output and standard error together.
#pragma once

#include <string>

struct CommandRun {
  int code = -1;  // exit code, -1 when it did not exit normally
  std::string out;
};

CommandRun RunCommand(const std::string& command);
