#!/usr/bin/env bash
# Runs the Windows build's tests (scripts/windows/build.sh first) under Wine, in a fresh Wine
# prefix in the build folder, headless (Qt's offscreen platform; the tests of the installed
# program start an Xvfb of their own), and ends with CTest's summary. The tests of the school
# server use the throwaway PostgreSQL the test command starts on 127.0.0.1.
#
#   bash scripts/windows/test.sh [CTEST ARGUMENTS...]      e.g. -R FilesTest
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages wine wine64 xvfb xdotool xauth x11-apps netpbm fonts-liberation python3-fonttools \
  postgresql
if [ ! -f "$build_folder/CTestTestfile.cmake" ]; then
  echo "test.sh: no Windows build in $build_folder: run bash scripts/windows/build.sh first"
  exit 1
fi

export TIPENZO_WINEPREFIX=$build_folder/wine-pruebas
rm -rf "$TIPENZO_WINEPREFIX"
# Made once here, before CTest starts tests side by side in it. Its server and Wine's own
# services (started by the first program) are kept running for all the tests from here, so
# that none of them holds the output of a test that CTest waits on.
bash "$repo/scripts/windows/wine-run.sh" cmd /c exit >/dev/null 2>&1
WINEPREFIX=$TIPENZO_WINEPREFIX wineserver -w
WINEPREFIX=$TIPENZO_WINEPREFIX wineserver -p
bash "$repo/scripts/windows/wine-run.sh" cmd /c exit >/dev/null 2>&1
echo "test.sh: a fresh Wine prefix in $TIPENZO_WINEPREFIX (made in $(elapsed))"

status=0
# A test that fails is run once more: now and then a program under Wine ends at once without a
# word (seen once in about a thousand runs); a fault of ours fails twice.
ctest --test-dir "$build_folder" --output-on-failure -j2 --repeat until-pass:2 "$@" || status=$?
WINEPREFIX=$TIPENZO_WINEPREFIX wineserver -k 2>/dev/null || true
exit $status
