#!/usr/bin/env bash
# Runs the tests with the clock at the instants where dates and the download window turn, in
# Japan time and in two other zones, through libfaketime: every process of the run (ctest, the
# tests, the programs they start) sees its clock start at the instant and run on from there. The
# monotonic clock (time-outs) and the times of files stay real.
#
#   bash scripts/test-clock.sh [--no-build] [--instants NAME,...] [--zones ZONE,...] [ctest arguments]
#
# Without ctest arguments the default and net labels run. Instants (Japan time):
#   saturday  2026-12-12 12:00:00    sunday    2026-12-13 23:59:30    monday  2026-12-14 00:00:30
#   before17  2026-12-09 16:59:50    after17   2026-12-09 17:00:10    (the timed download's window)
#   newyear   2026-12-31 23:59:50    leapday   2028-02-29 12:00:00
# Zones: Asia/Tokyo, UTC, America/Los_Angeles. The tests run in the zone given (VURN_TEST_TZ).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

declare -A AT=(
  [saturday]="2026-12-12 12:00:00" [sunday]="2026-12-13 23:59:30" [monday]="2026-12-14 00:00:30"
  [before17]="2026-12-09 16:59:50" [after17]="2026-12-09 17:00:10"
  [newyear]="2026-12-31 23:59:50" [leapday]="2028-02-29 12:00:00"
)
instants=(saturday sunday monday before17 after17 newyear leapday)
zones=(Asia/Tokyo UTC America/Los_Angeles)
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0; shift ;;
    --instants) IFS=, read -r -a instants <<<"$2"; shift 2 ;;
    --zones) IFS=, read -r -a zones <<<"$2"; shift 2 ;;
    *) break ;;
  esac
done
ctest_args=("$@")
[ ${#ctest_args[@]} -eq 0 ] && ctest_args=(-L '^(default|net)$')

if [ "$build" = 1 ]; then
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/build.sh" test
fi
lib=$(dpkg -L libfaketime 2>/dev/null | grep '/libfaketime\.so\.1$' | head -n 1 || true)
if [ -z "$lib" ]; then
  echo "test-clock: libfaketime is missing (scripts/setup.sh installs the package faketime)" >&2
  exit 2
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The sanitizer runtime is loaded after libfaketime here; it works so, but checks the order.
asan=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}:verify_asan_link_order=0

failed=()
for zone in "${zones[@]}"; do
  for name in "${instants[@]}"; do
    when=${AT[$name]:-}
    if [ -z "$when" ]; then
      echo "test-clock: unknown instant $name (one of ${!AT[*]})" >&2
      exit 2
    fi
    epoch=$(TZ=Asia/Tokyo date -d "$when" +%s)
    faked=(env TZ="$zone" VURN_TEST_TZ="$zone" LD_PRELOAD="$lib" FAKETIME="@$epoch" FAKETIME_FMT=%s
           FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 ASAN_OPTIONS="$asan")
    # The clock must really be the instant, or the run proves nothing.
    seen=$("${faked[@]}" date +%s)
    if [ $((seen - epoch)) -lt 0 ] || [ $((seen - epoch)) -gt 5 ]; then
      echo "test-clock: libfaketime did not set the clock ($seen, wanted $epoch)" >&2
      exit 2
    fi
    echo "== $name ($when in Japan), zone $zone: $(TZ="$zone" date -d "@$epoch" '+%Y-%m-%d %H:%M:%S %Z')"
    if ! (cd "$root/build/test" && "${faked[@]}" ctest --output-on-failure -j "$(nproc)" "${ctest_args[@]}"); then
      failed+=("$name in $zone")
    fi
  done
done

if [ ${#failed[@]} -gt 0 ]; then
  printf 'test-clock: failed at %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "test-clock: passed at ${#instants[@]} instant(s) in ${#zones[@]} zone(s)"
