#!/usr/bin/env bash
# Installs what is missing, builds Turmfinder and starts it in a working
# folder (default: ~/Turmfinder, or the folder given as the first argument).
# When that folder has no germtowers.dat yet, a demo database is written
# there first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
workdir="${1:-$HOME/Turmfinder}"
args="$*"

# The display first: without one, building for minutes and writing the
# demo database would be for nothing.
nodisplay() {
  echo "$1" >&2
  echo "Start Turmfinder on a desktop, or on a virtual display:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x900x24' $0 $args" >&2
  exit 1
}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  nodisplay "No display found (DISPLAY and WAYLAND_DISPLAY are empty)."
fi
if [ -z "${WAYLAND_DISPLAY:-}" ] && [[ "${DISPLAY:-}" =~ ^(unix)?:([0-9]+)(\.[0-9]+)?$ ]] &&
   [ ! -S "/tmp/.X11-unix/X${BASH_REMATCH[2]}" ]; then
  nodisplay "No X server answers on DISPLAY=$DISPLAY (no socket /tmp/.X11-unix/X${BASH_REMATCH[2]})."
fi

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target turmfinder turmcli

mkdir -p "$workdir"
if [ ! -f "$workdir/germtowers.dat" ]; then
  echo "No germtowers.dat in $workdir: writing a demo database there."
  echo "(For real data see README.md, 'Real data'.)"
  "$root/build/cli/turmcli" demo --dir "$workdir"
fi

cd "$workdir"
exec "$root/build/app/turmfinder"
