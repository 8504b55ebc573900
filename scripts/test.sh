#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
# Arguments go to ctest (for example -L gui, or -LE slow). A run of the whole suite (no arguments)
# then runs the default and net tests again with the clock on a Saturday in Japan, so a test that
# passes only on weekdays fails on every day (scripts/test-clock.sh runs all the instants).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" test
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$root/build/test"
ctest --output-on-failure -j "$(nproc)" "$@"
if [ $# -eq 0 ]; then
  bash "$root/scripts/test-clock.sh" --no-build --instants saturday --zones Asia/Tokyo
fi
