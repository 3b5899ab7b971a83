#!/usr/bin/env bash
# Installs what building, running and testing TIPENZO 10 needs on Debian 12 / Ubuntu.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libqt6network6 libgl-dev libx11-dev
  qt6-translations-l10n clang libclang-rt-14-dev llvm
  libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation clang-format
  xvfb xdotool x11-xkb-utils xauth python3 universal-ctags
  desktop-file-utils appstream dpkg-dev file librsvg2-bin poppler-utils
  libqt6sql6-psql postgresql)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
