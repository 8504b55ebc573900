#!/usr/bin/env bash
# Builds and runs the fuzz target for the page text layer (ReduceHtml, Utf8_to_Ansi and the
# token lists) with AFL++ in its GCC mode, under AddressSanitizer and
# UndefinedBehaviorSanitizer. Not part of the test build.
#
#   bash fuzz/build.sh            build into build/fuzz/
#   bash fuzz/build.sh run [SECS] build, then fuzz for SECS seconds (default 300)
#   bash fuzz/build.sh replay F.. build a plain sanitizer binary and run the files F..
#
# Prerequisite: the Debian package afl++ (with its clang it is a large install, so the
# setup script leaves it out). This script installs it when it is missing:
#   apt-get install afl++
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
mkdir -p "$out"
sources=(
  "$root/fuzz/page_text_fuzz.cpp"
  "$root/src/net/page_text.cpp" "$root/src/net/token_list.cpp"
  "$root/src/platform/codepage.cpp" "$root/src/platform/host.cpp"
  "$root/src/shell/diagnostics.cpp" "$root/src/shell/shell_state.cpp"
)
flags=(-std=c++20 -O1 -g -fexec-charset=CP932//TRANSLIT -I"$root/src"
       -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

if [ "${1:-}" = replay ]; then
  shift
  g++ "${flags[@]}" "${sources[@]}" -o "$out/page_text_replay"
  exec "$out/page_text_replay" "$@"
fi

if ! command -v afl-g++ >/dev/null; then
  echo "fuzz: installing afl++" >&2
  SUDO=()
  if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq afl++ >&2
fi
# GCC mode: the plugin compiler when its plugin matches the installed GCC (Debian 12's
# afl++ 4.04c refuses GCC 12.2.0-14+deb12u1), otherwise AFL++'s assembler-based afl-g++.
cxx=(afl-g++)
printf 'int main(){return 0;}\n' >"$out/probe.cpp"
if afl-g++-fast "$out/probe.cpp" -o "$out/probe" >/dev/null 2>&1; then cxx=(afl-g++-fast -DVURN_AFL_PERSISTENT); fi
"${cxx[@]}" "${flags[@]}" "${sources[@]}" -o "$out/page_text_fuzz"
echo "fuzz: built $out/page_text_fuzz with ${cxx[0]}" >&2

if [ "${1:-}" = run ]; then
  secs=${2:-300}
  mkdir -p "$out/seeds"
  cp "$root"/tests/fixtures/net/*.html "$out/seeds/"
  printf '<td>1 株</td><br>\n<th>x</th>' >"$out/seeds/cells.html"
  # The sanitizers need these settings under afl-fuzz; a crash lands in $out/findings/default/crashes.
  export AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1
  export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0
  export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1
  afl-fuzz -V "$secs" -m none -i "$out/seeds" -o "$out/findings" -- "$out/page_text_fuzz"
  crashes=$(find "$out/findings" -path '*crashes/id*' | wc -l)
  echo "fuzz: $crashes crashes" >&2
  [ "$crashes" -eq 0 ]
fi
