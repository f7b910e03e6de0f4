#!/usr/bin/env bash
# scripts/run.sh without a usable display: it stops at once with a message
# and exit status 1, before it installs packages, builds or writes the
# demo database.  Every tool it could call is a stub that logs its call.
set -uo pipefail
script="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin"
for tool in cmake ninja apt-get sudo dpkg-query; do
  cat > "$scratch/bin/$tool" <<STUB
#!/bin/sh
echo "$tool \$*" >> "$scratch/calls"
[ "$tool" = dpkg-query ] && { printf 'install ok installed'; exit 0; }
exit 1
STUB
  chmod +x "$scratch/bin/$tool"
done

failures=0
check() {  # name, expected message, environment assignments...
  local name="$1" want="$2"
  shift 2
  rm -f "$scratch/calls"
  env PATH="$scratch/bin:$PATH" "$@" bash "$script" "$scratch/work" > "$scratch/out" 2>&1
  local rc=$?
  if [ "$rc" -ne 1 ]; then echo "$name: exit status $rc, not 1"; failures=$((failures + 1)); fi
  if ! grep -q "$want" "$scratch/out"; then
    echo "$name: no message '$want' in:"; cat "$scratch/out"; failures=$((failures + 1))
  fi
  if [ -s "$scratch/calls" ]; then
    echo "$name: ran before checking the display:"; cat "$scratch/calls"; failures=$((failures + 1))
  fi
  if [ -e "$scratch/work" ]; then
    echo "$name: created the working folder"; failures=$((failures + 1)); rm -rf "$scratch/work"
  fi
}

check "no display variables" "No display found" DISPLAY= WAYLAND_DISPLAY=
# A display number no X server listens on.
check "no X server" "No X server answers on DISPLAY=:7391" DISPLAY=:7391 WAYLAND_DISPLAY=

[ "$failures" -eq 0 ] && echo "ok"
exit $(( failures > 0 ))
