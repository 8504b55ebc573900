// The edge counter of the fuzz build's trace-pc mode (see afl_trace_pc.h), and the markers
// by which afl-fuzz recognises a persistent target with a deferred fork server.
#include "afl_trace_pc.h"

#include <cstdint>
#include <unistd.h>

extern "C" {
extern unsigned char* __afl_area_ptr;

namespace {
uintptr_t g_prev_block = 0;
}

// The block's return address stands for the block; the map has 64 KiB counters.
__attribute__((used, no_sanitize_coverage, no_sanitize_address, no_sanitize_undefined)) void
__sanitizer_cov_trace_pc() {
  uintptr_t block = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  block = ((block >> 4) ^ (block << 8)) & 0xffff;
  ++__afl_area_ptr[block ^ g_prev_block];
  g_prev_block = block >> 1;
}
}

namespace afl_trace_pc {

__attribute__((used)) const char persistent_marker[] = "##SIG_AFL_PERSISTENT##";
__attribute__((used)) const char deferred_marker[] = "##SIG_AFL_DEFER_FORKSRV##";
unsigned char stdin_case[1 << 20];

unsigned ReadStdinCase() {
  const ssize_t n = ::read(0, stdin_case, sizeof stdin_case);
  return n > 0 ? static_cast<unsigned>(n) : 0;
}

}  // namespace afl_trace_pc
