#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Turmfinder.
# Packages that are already present are skipped; nothing is downloaded
# outside the Debian archive.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev
  fonts-liberation2
  xvfb xauth
  # the icon's PNG sizes, the .deb's dependencies, and the packaging test
  librsvg2-bin dpkg-dev desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
