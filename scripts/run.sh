#!/usr/bin/env bash
# Installs what is missing, builds Turmfinder and starts it in a working
# folder (default: ~/Turmfinder, or the folder given as the first argument).
# When that folder has no germtowers.dat yet, a demo database is written
# there first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
workdir="${1:-$HOME/Turmfinder}"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target turmfinder turmcli

mkdir -p "$workdir"
if [ ! -f "$workdir/germtowers.dat" ]; then
  echo "No germtowers.dat in $workdir: writing a demo database there."
  echo "(For real data see README.md, 'Real data'.)"
  "$root/build/cli/turmcli" demo --dir "$workdir"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Start Turmfinder on a desktop, or on a virtual display:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x900x24' $0 $*" >&2
  exit 1
fi

cd "$workdir"
exec "$root/build/app/turmfinder"
