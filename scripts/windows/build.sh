#!/usr/bin/env bash
# Builds TIPENZO 10 for 64-bit Windows with MinGW-w64 into build-windows/: tipenzo10.exe, the
# tests and the benchmarks, warnings as errors as on Linux; then
#
#   build-windows/TIPENZO10/                       the portable program folder: tipenzo10.exe,
#                                                  Qt's and MinGW's DLLs, Qt's plugins, textos/
#                                                  and the help; it runs in place
#   build-windows/TIPENZO10-<version>-setup.exe    the setup program (NSIS)
#
# Qt for Windows comes from scripts/windows/qt.sh (made once, in TIPENZO_QT_WINDOWS). The
# build runs the program's icon drawing under Wine, in the build folder's own prefix.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages nsis wine wine64 fonts-liberation python3-fonttools qt6-translations-l10n cmake \
  ninja-build g++-mingw-w64-x86-64-posix
bash "$repo/scripts/windows/qt.sh"

emulator=$repo/scripts/windows/wine-run.sh
# Paths below the checkout count relative to it, so another clone (CI's) finds the objects a
# build of the same sources left in ccache.
export CCACHE_BASEDIR=$repo
export TIPENZO_WINEPREFIX=$build_folder/wine
cmake -S "$repo" -B "$build_folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTIPENZO_WERROR=ON -DTIPENZO_TESTS=ON -DTIPENZO_BENCH=ON \
  -DCMAKE_TOOLCHAIN_FILE="$qt_folder/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/scripts/windows/mingw-w64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >/dev/null
nice -n 19 cmake --build "$build_folder" -j"$(nproc)"

# What an install holds (bin\, share\tipenzo10\), and the same files flat as the portable folder.
staging=$build_folder/instalacion
portable=$build_folder/TIPENZO10
rm -rf "$staging" "$portable"
cmake --install "$build_folder" --prefix "$staging" >/dev/null
# Without their debugging symbols (MinGW's C++ runtime alone carries 20 MB of them).
find "$staging" \( -name '*.dll' -o -name '*.exe' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
mkdir -p "$portable"
cp -r "$staging/bin/." "$staging/share/tipenzo10/." "$portable/"

# The setup program: the install tree file by file, and the same files removed again by the
# uninstaller (only those: anything else in the folder stays).
in_instdir() {  # ./bin/x.dll -> $INSTDIR\bin\x.dll
  local p=${1#.}
  p=${p//\//\\}
  echo "\$INSTDIR$p"
}
(
  cd "$staging"
  find . -type d | sort | while read -r d; do
    echo "SetOutPath \"$(in_instdir "$d")\""
    find "$d" -maxdepth 1 -type f | sort | while read -r f; do echo "File \"$staging/${f#./}\""; done
  done > "$build_folder/files.nsh"
  {
    find . -type f | sort | while read -r f; do echo "Delete \"$(in_instdir "$f")\""; done
    find . -mindepth 1 -type d | sort -r | while read -r d; do echo "RMDir \"$(in_instdir "$d")\""; done
  } > "$build_folder/unfiles.nsh"
)
version=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$build_folder/version.nsh")
setup=$build_folder/TIPENZO10-$version-setup.exe
makensis -V2 -DSTAGING="$staging" -DBUILD="$build_folder" -DOUTFILE="$setup" \
  "$repo/packaging/windows/tipenzo10.nsi"

echo "build.sh: $portable ($(du -sh "$portable" | cut -f1)), $setup ($(du -h "$setup" | cut -f1))," \
  "in $(elapsed)"
