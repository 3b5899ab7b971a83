#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, as the build (the icons) and CTest (the tests)
# do: in the build folder's own Wine prefix, quietly, finding Qt's and MinGW's DLLs and Qt's
# plugins where scripts/windows/qt.sh put them.
#
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# TIPENZO_WINEPREFIX names the prefix (build.sh sets it to build-windows/wine); it is made on
# first use, with Debian's Liberation fonts as Arial and Courier New.
set -euo pipefail
source "$(dirname "$0")/common.sh"

export WINEPREFIX=${TIPENZO_WINEPREFIX:-$build_folder/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

if [ ! -f "$WINEPREFIX/.tipenzo-ready" ]; then
  # One at a time: CTest starts several tests at once, and a prefix is made once.
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.tipenzo-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    fonts=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$fonts"
    # The faces every screen is measured with, under the names Windows gives them.
    for pair in LiberationSans-Regular:arial LiberationSans-Bold:arialbd \
      LiberationSans-Italic:ariali LiberationSans-BoldItalic:arialbi \
      LiberationMono-Regular:cour LiberationMono-Bold:courbd LiberationMono-Italic:couri \
      LiberationMono-BoldItalic:courbi; do
      cp "/usr/share/fonts/truetype/liberation/${pair%%:*}.ttf" "$fonts/${pair##*:}.ttf"
    done
    touch "$WINEPREFIX/.tipenzo-ready"
  fi
  exec 9>&-
fi

# Qt's DLLs, OpenSSL's and libpq's, then MinGW's runtime.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$qt_folder/bin;$runtime;$mingw_sysroot/lib"
export QT_PLUGIN_PATH=$qt_folder/plugins
exec wine "$@"
