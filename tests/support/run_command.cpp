#include "support/run_command.h"

#include <cstdio>
#include <sys/wait.h>

CommandRun RunCommand(const std::string& command) {
  CommandRun r;
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

CommandRun RunCommandAt(const std::string& command, int64_t at) {
  // Seconds since 1970 as the start, so the instant is the same in every zone. The monotonic
  // clock (time-outs) and the files' times stay real; the sanitizer runtime accepts being loaded after the library.
  const std::string env = "LD_PRELOAD=" VURN_FAKETIME_LIBRARY " FAKETIME=@" +
                          std::to_string(at) +
                          " FAKETIME_FMT=%s FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1"
                          " ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\" ";
  return RunCommand(env + command);
}
