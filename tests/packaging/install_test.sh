#!/usr/bin/env bash
# The installed program, checked from outside: cmake --install into a
# scratch prefix puts every file in its place, the desktop entry and the
# metainfo pass their validators, both programs run from another folder
# (the window as the launcher's Exec line starts it, offscreen) and find
# their help, and the .deb that CPack builds from the same rules holds the
# same files and names its dependencies.
#
# Arguments: build folder, cmake, cpack, application id, version, icon sizes.
# Runs in its scratch folder; status 77 (skipped) when a tool is missing.
set -uo pipefail
build=$1 cmake=$2 cpack=$3 appid=$4 version=$5
sizes_list=${6:-}
read -r -a sizes <<<"${sizes_list//;/ }"

for tool in desktop-file-validate appstreamcli dpkg-deb groff timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

if [ ${#sizes[@]} = 0 ]; then
  echo "SKIPPED: the build made no PNG icons (rsvg-convert was missing; scripts/install-deps.sh installs it)"
  exit 77
fi

scratch=$PWD
rm -rf "$scratch/prefix" "$scratch/home" "$scratch/elsewhere" "$scratch/deb" "$scratch/root"
mkdir -p "$scratch/home" "$scratch/elsewhere"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# 1. cmake --install: every file in its place.
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >install.log || fail "cmake --install (install.log)"
wanted=(
  bin/turmfinder bin/turmcli
  share/turmfinder/Turmscan.html
  "share/applications/$appid.desktop"
  "share/metainfo/$appid.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$appid.svg"
  share/man/man1/turmcli.1.gz
)
for size in "${sizes[@]}"; do wanted+=("share/icons/hicolor/${size}x${size}/apps/$appid.png"); done
for f in "${wanted[@]}"; do [ -s "$prefix/$f" ] || fail "not installed: $f"; done
# Each PNG is as large as its folder says (width and height in its header).
for size in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$appid.png
  [ -f "$png" ] || continue
  read -r -a wh < <(od -An -tu1 -j16 -N8 "$png")
  w=$(( (wh[0] << 24) + (wh[1] << 16) + (wh[2] << 8) + wh[3] ))
  h=$(( (wh[4] << 24) + (wh[5] << 16) + (wh[6] << 8) + wh[7] ))
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "${size}x${size} icon is ${w}x${h}"
done

# 2. The validators of the desktop (hints count as faults too).
desktop=$prefix/share/applications/$appid.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx "Icon=$appid" "$desktop" || fail "the desktop entry's Icon is not $appid"
# --no-net: the screenshot's address is not fetched.
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/$appid.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"

# 3. turmcli from another folder, and its manual page: clean roff that
# describes every command that turmcli --help lists.
cd "$scratch/elsewhere"
usage=$("$prefix/bin/turmcli" --help) || fail "turmcli --help: status $?"
commands=$(sed -n '/^Befehle:/,/^[^ ]/s/^  \([a-z]\+\) .*/\1/p' <<<"$usage")
[ -n "$commands" ] || fail "turmcli --help lists no commands: $usage"
page=$(zcat "$prefix/share/man/man1/turmcli.1.gz")
out=$(groff -k -man -Tutf8 -ww -z <<<"$page" 2>&1) && [ -z "$out" ] || fail "groff on the manual page: $out"
for c in $commands; do
  grep -q "^\.SS \"$c\b" <<<"$page" || fail "the manual page has no section for turmcli $c"
done

# 4. The window from another folder: its help is found below the prefix,
# and the launcher's Exec line starts it on a new account (no ~/Turmfinder
# yet): it makes the folder and waits for the user (the offer) until it is
# stopped.
out=$("$prefix/bin/turmfinder" --help 2>&1)
grep -qF "Hilfedokument: $prefix/share/turmfinder/Turmscan.html" <<<"$out" ||
  fail "the installed turmfinder does not find its help: $out"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
HOME=$scratch/home PATH=$prefix/bin:$PATH QT_QPA_PLATFORM=offscreen \
  timeout 3 $exec_line >"$scratch/window.log" 2>&1
status=$?
[ "$status" = 124 ] || fail "'$exec_line' ended with status $status instead of running: $(cat "$scratch/window.log")"
[ -d "$scratch/home/Turmfinder" ] || fail "'$exec_line' did not make ~/Turmfinder"

# 5. The .deb from the same install rules: its files, its dependencies,
# and its programs unpacked.
cd "$scratch"
if "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/deb" >cpack.log 2>&1; then
  deb=$(ls "$scratch/deb/"*.deb)
  listing=$(dpkg-deb -c "$deb")
  for f in "${wanted[@]}"; do
    grep -qF " ./usr/$f" <<<"$listing" || fail "the .deb lacks /usr/$f"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = turmfinder ] || fail "the package is not called turmfinder"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
  depends=$(dpkg-deb -f "$deb" Depends)
  names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
  for d in libc6 libqt6widgets6 libstdc++6 qt6-qpa-plugins; do
    grep -qxF "$d" <<<"$names" || fail "the package does not depend on $d: $depends"
  done
  dpkg-deb -x "$deb" "$scratch/root"
  cd "$scratch/elsewhere"
  "$scratch/root/usr/bin/turmcli" --help >/dev/null || fail "turmcli of the .deb does not run"
  out=$("$scratch/root/usr/bin/turmfinder" --help 2>&1)
  grep -qF "Hilfedokument: $scratch/root/usr/share/turmfinder/Turmscan.html" <<<"$out" ||
    fail "turmfinder of the .deb does not find its help: $out"
else
  fail "cpack: $(tail -20 cpack.log)"
fi

[ "$failures" = 0 ] || exit 1
echo "installed and packaged: ${#wanted[@]} files, dependencies: $depends"
