#!/usr/bin/env bash
# Sets up, builds a release and starts the program in its working folder (./work by
# default), writing the sample data there when it is missing. Extra arguments go to Vurn.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" release
work=${KIVORA_WORK_DIR:-$root/work}
mkdir -p "$work"
if [ -x "$root/build/release/make_sample_data" ] && [ ! -e "$work/vurn.tag" ]; then
  "$root/build/release/make_sample_data" "$work"
fi
cd "$work"
exec "$root/build/release/Vurn" "$@"
