#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, as the build (the icons) and CTest (the tests)
# do: in the build folder's own Wine prefix, quietly, finding Qt's and MinGW's DLLs and Qt's
# plugins where scripts/windows/qt.sh put them.
#
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# TIPENZO_WINEPREFIX names the prefix (build.sh sets it to build-windows/wine); it is made on
# first use, with Debian's Liberation fonts as Arial and Courier New (stand_in_fonts.py), which
# Qt's offscreen platform reads too.
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
    /usr/bin/python3 "$repo/scripts/windows/stand_in_fonts.py" "$WINEPREFIX/drive_c/windows/Fonts"
    touch "$WINEPREFIX/.tipenzo-ready"
  fi
  exec 9>&-
fi

# Qt's DLLs, OpenSSL's and libpq's, then MinGW's runtime.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$qt_folder/bin;$runtime;$mingw_sysroot/lib"
export QT_PLUGIN_PATH=Z:$qt_folder/plugins
export QT_QPA_FONTDIR='C:\windows\Fonts'
# Wine hands a program no QT_ variable of its own environment: it takes WINEQT_... for QT_....
while IFS= read -r name; do
  export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)
# Helpers that Wine starts on demand for a program (explorer.exe, rpcss.exe) inherit its output
# and outlive it: on a pipe (CTest's), the reader would wait for them for minutes. There the
# program writes into files instead, passed on when it ends.
if [ ! -p /dev/stdout ] && [ ! -p /dev/stderr ]; then exec wine "$@"; fi
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
wine "$@" >"$output/out" 2>"$output/err" &
program=$!
trap 'kill "$program" 2>/dev/null || true' TERM INT HUP
status=0
while :; do
  wait "$program" && status=0 || status=$?
  kill -0 "$program" 2>/dev/null || break
done
cat "$output/out"
cat "$output/err" >&2
exit $status
