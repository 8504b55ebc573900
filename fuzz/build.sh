#!/usr/bin/env bash
# Builds and runs the fuzz targets (fuzz/*_fuzz.cpp, one per parser of outside data) with
# AFL++ and GCC, under AddressSanitizer and UndefinedBehaviorSanitizer. Not part of the
# test build.
#
#   bash fuzz/build.sh                      build every target into build/fuzz/<mode>/
#   bash fuzz/build.sh list                 the targets' names
#   bash fuzz/build.sh run TARGET [SECS]    build, then fuzz one target for SECS seconds (300)
#   bash fuzz/build.sh run-all [SECS]       build, then fuzz each target in turn
#   bash fuzz/build.sh replay TARGET F...   a plain sanitizer build of TARGET run on files F...
#
# The mode is the fastest that works here, tried in this order (VURN_FUZZ_MODE=name forces
# one):
#   plugin    afl-g++-fast, AFL++'s GCC plugin: persistent. Debian 12's afl++ 4.04c refuses
#             its GCC 12.2 (a build-revision mismatch), so the probe fails there.
#   trace-pc  plain g++ with -fsanitize-coverage=trace-pc, the edges counted by
#             fuzz/afl_trace_pc.h into AFL++'s runtime: persistent, deferred fork server,
#             test cases in shared memory (day_file_fuzz: about 77 times the runs a second
#             of afl-g++ on this machine).
#   afl-g++   AFL++'s assembler instrumentation: a fork for every input.
# AFL++'s clang modes cannot build the program: its literals are CP932 bytes
# (-fexec-charset=CP932), which clang does not take.
#
# Seeds come from fuzz/seeds/<name>/ (name without "_fuzz") and from what the script makes
# below; findings land in build/fuzz/findings/<target>/. A finding, once fixed, is kept as a
# regular test case under tests/.
# Prerequisite: the Debian package afl++ (a large install, so the setup script leaves it
# out); this script installs it when it is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz

targets() { for f in "$root"/fuzz/*_fuzz.cpp; do basename "$f" .cpp; done; }

configure() {  # folder, compiler, persistent ON/OFF, ccache ON/OFF, more cmake options
  cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$2" \
    -DVURN_SANITIZE=ON -DVURN_TESTS=OFF -DVURN_BENCH=OFF -DVURN_FUZZ=ON -DVURN_CCACHE="$4" \
    -DVURN_AFL_PERSISTENT="$3" "${@:5}" >/dev/null
}

case "${1:-build}" in
  list) targets; exit 0 ;;
  replay)
    target=${2:?target}; shift 2
    configure "$root/build/fuzz-replay" "$(command -v g++)" OFF ON
    cmake --build "$root/build/fuzz-replay" --target "$target" >/dev/null
    exec "$root/build/fuzz-replay/$target" "$@"
    ;;
esac

if ! command -v afl-g++ >/dev/null; then
  echo "fuzz: installing afl++" >&2
  SUDO=()
  if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq afl++ >&2
fi
mkdir -p "$out/probe"
# A probe of each mode: it builds, and its coverage reaches afl-showmap.
probe() {
  local dir=$out/probe src=$out/probe/probe.cpp
  printf '#include "afl_trace_pc.h"\n__AFL_FUZZ_INIT();\nint main(int c, char**) {\n  __AFL_INIT();\n  while (__AFL_LOOP(10)) if (__AFL_FUZZ_TESTCASE_LEN > 1 && c > 1) return 1;\n  return 0;\n}\n' >"$src"
  case "$1" in
    plugin) sed -i '1d' "$src"; afl-g++-fast "$src" -o "$dir/$1" ;;
    trace-pc) g++ -std=c++20 -fsanitize-coverage=trace-pc -I"$root/fuzz" "$src" "$root/fuzz/afl_trace_pc.cpp" \
                /usr/lib/afl/afl-compiler-rt.o -o "$dir/$1" ;;
    afl-g++) printf 'int main() { return 0; }\n' >"$src"; afl-g++ "$src" -o "$dir/$1" ;;
  esac >/dev/null 2>&1 || return 1
  echo x | AFL_QUIET=1 afl-showmap -q -o "$dir/$1.map" -- "$dir/$1" >/dev/null 2>&1 || true
  [ -s "$dir/$1.map" ]
}
mode=${VURN_FUZZ_MODE:-}
if [ -z "$mode" ]; then
  for m in plugin trace-pc afl-g++; do
    if probe "$m"; then mode=$m; break; fi
  done
fi
bin=$out/$mode
case "$mode" in
  plugin) configure "$bin" "$(command -v afl-g++-fast)" ON OFF ;;
  trace-pc) configure "$bin" "$(command -v g++)" OFF ON -DVURN_AFL_TRACE_PC=ON ;;
  afl-g++) configure "$bin" "$(command -v afl-g++)" OFF OFF ;;
  *) echo "fuzz: no working mode (afl++ installed?)" >&2; exit 1 ;;
esac
cmake --build "$bin" -j 2 --target fuzz_targets make_sample_data
echo "fuzz: built $(targets | tr '\n' ' ')in mode $mode" >&2

# Seeds of a target: its folder under fuzz/seeds, and for some what the tools make.
seeds() {
  local name=${1%_fuzz} dir=$out/seeds/$1
  rm -rf "$dir"; mkdir -p "$dir"
  [ -d "$root/fuzz/seeds/$name" ] && cp "$root/fuzz/seeds/$name"/* "$dir/"
  case "$name" in
    page_text)
      cp "$root"/tests/fixtures/net/*.html "$dir/"
      printf '<td>1 株</td><br>\n<th>x</th>' >"$dir/cells.html" ;;
    database_files)
      # The first byte chooses the file (odd: master file); then the start of the sample's.
      local sample=$out/sample; mkdir -p "$sample"
      [ -e "$sample/vurn.tag" ] || "$bin/make_sample_data" "$sample" >/dev/null
      { printf '\x01'; head -c 4000 "$sample/vurn.tag"; } >"$dir/tag"
      { printf '\x03'; head -c 4000 "$sample/vurn.tag"; } >"$dir/tag_full"
      { printf '\x00'; head -c 12000 "$sample/try.hy3"; } >"$dir/db"
      { printf '\x02'; head -c 12000 "$sample/try.hy3"; } >"$dir/db_full"
      { printf '\x05'; head -c 4000 "$sample/vurn.tag"; } >"$dir/tag_check"
      { printf '\x04'; head -c 12000 "$sample/try.hy3"; } >"$dir/db_check" ;;
  esac
  if [ -z "$(ls -A "$dir")" ]; then printf 'x' >"$dir/empty"; fi
}

fuzz_one() {  # target, seconds
  seeds "$1"
  # The sanitizers need these settings under afl-fuzz; a fresh run each time (-V: stop
  # after the seconds given), not tied to a core on a shared machine.
  rm -rf "$out/findings/$1"; mkdir -p "$out/findings"
  AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1 \
  ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1 \
    afl-fuzz -V "$2" -m none -i "$out/seeds/$1" -o "$out/findings/$1" -- "$bin/$1" >"$out/$1.log" 2>&1 || true
  local stats=$out/findings/$1/default/fuzzer_stats crashes
  crashes=$(find "$out/findings/$1" -path '*crashes/id*' 2>/dev/null | wc -l)
  if [ -f "$stats" ]; then
    awk -v t="$1" -F' *: *' '{v[$1]=$2} END {printf "fuzz: %s: %s s, %s runs (%s/s), %s paths, %s crashes, %s hangs\n",
      t, v["run_time"], v["execs_done"], v["execs_per_sec"], v["corpus_count"], v["saved_crashes"], v["saved_hangs"]}' \
      "$stats" >&2
  else
    echo "fuzz: $1: afl-fuzz did not run, see $out/$1.log" >&2
    return 1
  fi
  [ "$crashes" -eq 0 ]
}

case "${1:-build}" in
  build) ;;
  run) fuzz_one "${2:?target}" "${3:-300}" ;;
  run-all)
    failed=0
    for t in $(targets); do fuzz_one "$t" "${2:-300}" || failed=1; done
    exit $failed ;;
  *) echo "usage: $0 [build | list | run TARGET [SECS] | run-all [SECS] | replay TARGET FILE...]" >&2; exit 2 ;;
esac
