#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh release|test
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-release}
case "$kind" in
  release) dir=$root/build/release; flags=(-DCMAKE_BUILD_TYPE=Release -DVURN_SANITIZE=OFF) ;;
  test)    dir=$root/build/test;    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVURN_SANITIZE=ON) ;;
  *) echo "usage: $0 release|test" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -- -k 0
