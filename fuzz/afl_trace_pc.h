// AFL++ for plain g++: the code is compiled with -fsanitize-coverage=trace-pc, so every
// basic block calls __sanitizer_cov_trace_pc (afl_trace_pc.cpp, linked into every program
// of the fuzz build), which counts the edge from the block before into AFL++'s coverage
// map as AFL++'s own compilers do. AFL++'s runtime (afl-compiler-rt.o, linked in too)
// brings the fork server, the persistent loop and the test case in shared memory; the
// macros below are the ones AFL++'s compiler wrappers define.
#pragma once

#include <cstddef>

extern "C" {
extern unsigned int* __afl_fuzz_len;
extern unsigned char* __afl_fuzz_ptr;
int __afl_persistent_loop(unsigned int max_cnt);
void __afl_manual_init(void);
}

namespace afl_trace_pc {
extern unsigned char stdin_case[1 << 20];  // the test case when afl-fuzz gives no shared memory
unsigned ReadStdinCase();
}  // namespace afl_trace_pc

#define __AFL_FUZZ_INIT() extern "C" { int __afl_sharedmem_fuzzing = 1; }
#define __AFL_INIT() __afl_manual_init()
#define __AFL_LOOP(n) __afl_persistent_loop(n)
#define __AFL_FUZZ_TESTCASE_BUF (__afl_fuzz_ptr ? __afl_fuzz_ptr : afl_trace_pc::stdin_case)
#define __AFL_FUZZ_TESTCASE_LEN (__afl_fuzz_ptr ? *__afl_fuzz_len : afl_trace_pc::ReadStdinCase())
