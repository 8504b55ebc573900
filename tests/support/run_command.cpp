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
