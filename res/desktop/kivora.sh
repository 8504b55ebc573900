#!/bin/sh
# Starts Kivora in the user's data folder (the program keeps every file in the folder it
# starts in), preparing the sample data there on the first start.
set -e
bindir=$(dirname "$(readlink -f "$0")")
data="${KIVORA_DATA:-${XDG_DATA_HOME:-$HOME/.local/share}/kivora}"
mkdir -p "$data"
if [ ! -e "$data/vurn.tag" ] && [ ! -e "$data/vurn.hy3" ] && [ ! -e "$data/try.hy3" ]; then
  "$bindir/make_sample_data" "$data" >/dev/null
fi
cd "$data"
exec "$bindir/Vurn" "$@"
