#!/usr/bin/env bash
# Installs what is missing, builds the program and its data, and starts the
# game. Saves (rms.dat) go to the player's data folder, which is also the
# program's working directory. Options after the command go to the program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Compiler cache hits across checkouts in different folders.
export CCACHE_BASEDIR="$here"

"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target tidepool-dash

# By the XDG rules a relative XDG_DATA_HOME is to be ignored.
case "${XDG_DATA_HOME:-}" in
  /*) data="$XDG_DATA_HOME/tidepool-dash" ;;
  *) data="$HOME/.local/share/tidepool-dash" ;;
esac
mkdir -p "$data"
cd "$data"
exec "$here/build/tidepool-dash" "$@"
