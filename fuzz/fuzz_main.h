// The driver every fuzz target shares: the target defines FuzzOne(data, size), which must
// stop (abort) on any broken rule. In a persistent build (VURN_AFL_PERSISTENT: AFL++'s GCC
// plugin, or plain g++ with afl_trace_pc.h) one process runs many inputs, each of them
// given in shared memory; FuzzOne therefore sets up everything it reads before each input.
// Otherwise it reads the files named on the command line, or standard input, so saved
// findings can be replayed (and afl-g++ builds run forking, one process an input).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>  // read(), used by the persistent-mode macros

#include "platform/diagnostics.h"

#ifdef VURN_AFL_TRACE_PC
#include "afl_trace_pc.h"
#endif

void FuzzOne(const unsigned char* data, size_t size);

// Stops the run when a rule the target checks is broken.
inline void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "broken rule: %s\n", what);
  std::abort();
}

#ifdef VURN_AFL_PERSISTENT
__AFL_FUZZ_INIT();
#endif

int main(int argc, char** argv) {
  fPrtOff = 1;  // diagnostics of refused input are not needed here
#ifdef VURN_AFL_PERSISTENT
  // The fork server starts here, after the program's own start-up (deferred).
  __AFL_INIT();
  const unsigned char* buf = __AFL_FUZZ_TESTCASE_BUF;
  while (__AFL_LOOP(10000)) FuzzOne(buf, static_cast<size_t>(__AFL_FUZZ_TESTCASE_LEN));
#else
  auto run_file = [](std::FILE* f) {
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
    FuzzOne(data.data(), data.size());
  };
  if (argc < 2) run_file(stdin);
  for (int i = 1; i < argc; ++i) {
    if (std::FILE* f = std::fopen(argv[i], "rb")) {
      run_file(f);
      std::fclose(f);
    }
  }
#endif
  return 0;
}
