#!/usr/bin/env bash
# The Windows program as a school gets it, under Wine on an Xvfb of its own, in a fresh Wine
# prefix: the setup program installs silently (/S) into Program Files with its shortcuts and its
# entry in the installed programs; the installed program shows its main menu, a pupil is added,
# and the users file is in the user's AppData; the portable folder keeps its data beside itself,
# and a drill typed there to a pass is saved there; the silent uninstall removes the program and
# leaves the data. Exit 77 (skipped) without the setup program (scripts/windows/build.sh makes
# it), Xvfb or xdotool.
#   windows_program_test.sh <build folder> <version>
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../scripts/windows/wine-run.sh
setup=$build/TIPENZO10-$version-setup.exe
portable=$build/TIPENZO10

for tool in Xvfb xdotool wine xwd; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool"; exit 77; }
done
[ -f "$setup" ] || { echo "skipped: no $setup (scripts/windows/build.sh makes it)"; exit 77; }

export TIPENZO_WINEPREFIX=$build/wine-instalacion
rm -rf "$TIPENZO_WINEPREFIX" "$TIPENZO_WINEPREFIX.lock"
drive=$TIPENZO_WINEPREFIX/drive_c
work=$(mktemp -d /tmp/tipenzo10-windows-XXXXXX)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  WINEPREFIX=$TIPENZO_WINEPREFIX wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  # What was on the screen, to look at.
  mkdir -p "$build/screens"
  xwd -root -silent 2>/dev/null | xwdtopnm 2>/dev/null | pnmtopng >"$build/screens/windows-failed.png" 2>/dev/null || true
  [ -s "$work/program.log" ] && { echo "--- what the program printed:"; cat "$work/program.log"; }
  exit 1
}

# An X display of our own: Xvfb takes a free number and tells it.
exec 8<> <(:)
Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 20 number <&8 || fail "Xvfb did not start"
export DISPLAY=:$number

# The id of the visible window whose title matches, within a minute; then its going.
wait_window() {
  timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" sleep 0.3 click 1 sleep 0.5; }
start_program() {
  (cd "$work" && exec env -u QT_QPA_PLATFORM "$run" "$1" >"$work/program.log" 2>&1) &
  program_pid=$!
}
quit_program() {
  click "$1" 768 33 # the main menu's quit button
  for _ in $(seq 150); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after the quit button"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "the program ended with code $status"
}
menu_title="^TIPENZO 10 v${version//./\\.}\$"

echo "== 1. The setup program installs silently"
"$run" "$setup" /S >"$work/setup.log" 2>&1 || fail "the setup program ended with an error"
installed=$drive/Program\ Files/TIPENZO10
[ -f "$installed/bin/tipenzo10.exe" ] || fail "no program in $installed/bin"
[ -f "$installed/share/tipenzo10/textos/TEXTO_69" ] || fail "no lesson texts"
[ -f "$installed/desinstalar.exe" ] || fail "no uninstaller"
start_menu=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/TIPENZO\ 10.lnk
desktop=$drive/users/Public/Desktop/TIPENZO\ 10.lnk
[ -f "$start_menu" ] || fail "no Start-menu shortcut"
[ -f "$desktop" ] || fail "no desktop shortcut"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TIPENZO10'
"$run" reg query "$key" >"$work/entry.txt" 2>&1 || fail "no entry in the installed programs"
for value in "DisplayName.*TIPENZO 10" "DisplayVersion.*$version" "Publisher.*TIPENZO" \
  'UninstallString.*desinstalar.exe' 'QuietUninstallString.*desinstalar.exe" /S' \
  'DisplayIcon.*tipenzo10.exe'; do
  tr -d '\r' <"$work/entry.txt" | grep -q -- "$value" || fail "the entry lacks $value"
done

echo "== 2. The installed program shows its main menu; a pupil is added; the data are in AppData"
data=$drive/users/$(id -un)/AppData/Roaming/tipenzo10
start_program 'C:\Program Files\TIPENZO10\bin\tipenzo10.exe'
menu=$(wait_window "$menu_title") || fail "the main menu did not show"
[ -f "$data/usuarios.dat" ] || fail "no users file in $data"
mkdir -p "$build/screens" && sleep 1
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$build/screens/windows-main-menu.png" || true
xdotool key --window "$menu" g
users=$(wait_window '^USUARIOS$') || fail "G did not open the users window"
click "$users" 35 275 # Add
dialog=$(wait_window '^Datos de nuevo usuario$') || fail "Add did not open the new-user dialog"
click "$dialog" 155 55 # the name entry
xdotool type --delay 60 'alumna de windows'
click "$dialog" 275 365 # Accept
wait_gone '^Datos de nuevo usuario$' || fail "the new-user dialog stayed open"
xdotool key --window "$users" Escape
wait_gone '^USUARIOS$' || fail "Escape did not close the users window"
quit_program "$menu"
grep -q $'^ALUMNA DE WINDOWS|1|1|1|0|.*|NORMAL|ID-[0-9]\\{14\\}\r$' "$data/usuarios.dat" ||
  fail "the pupil is not in $data/usuarios.dat"
[ ! -e "$data/~usuarios.dat" ] || fail "the lock copy was left behind"
[ -z "$(find "$installed" -name 'usuarios*')" ] || fail "the installed program wrote among its files"

echo "== 3. The portable folder keeps its data beside itself; a drill typed to a pass is saved there"
copy=$drive/TIPENZO10
cp -r "$portable" "$copy"
# A pupil of level 10, whose first drill is typed with plain keys (Wine's X keyboard gives no
# "ñ" from xdotool).
id=ID-20261209100000
printf 'Datos de Usuarios v2.6\r\nALUMNA PORTATIL|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|NORMAL|%s\r\n' \
  "$id" >"$copy/usuarios.dat"
start_program 'C:\TIPENZO10\tipenzo10.exe'
menu=$(wait_window "$menu_title") || fail "the portable program's main menu did not show"
xdotool key --window "$menu" g
users=$(wait_window '^USUARIOS$') || fail "G did not open the users window"
xdotool key --window "$users" Return
wait_gone '^USUARIOS$' || fail "Enter did not choose the pupil"
xdotool key --window "$menu" r
# The exercise window is named after its pupil and level.
wait_window '^ALUMNA PORTATIL  [|]  NIVEL: 10$' >/dev/null || fail "R did not open the exercise"
sleep 1
# The drill: four lines of "Camino;" eight times, Enter between them.
for line in 1 2 3 4; do
  for word in 1 2 3 4 5 6 7 8; do
    for key in shift+c a m i n o semicolon; do xdotool key "$key"; done
    if [ "$word" -lt 8 ]; then xdotool key space; fi
  done
  if [ "$line" -lt 4 ]; then xdotool key Return; fi
done
result=$(wait_window '^Resultados$') || fail "the typed drill brought no result window"
grep -q $'^ALUMNA PORTATIL|10|1|2|.*|'"$id"$'\r$' "$copy/usuarios.dat" ||
  fail "the pass is not saved beside the portable program: $(cat "$copy/usuarios.dat")"
[ -s "$copy/estadisticas/$id.txt" ] || fail "no keystroke figures beside the portable program"
click "$result" 410 275 # Main menu
wait_gone '^Resultados$' || fail "the result window stayed open"
quit_program "$menu"

echo "== 4. The silent uninstall removes the program and keeps the data"
"$run" 'C:\Program Files\TIPENZO10\desinstalar.exe' /S >"$work/uninstall.log" 2>&1 || true
# The uninstaller runs on from a copy of itself: wait for it to finish.
WINEPREFIX=$TIPENZO_WINEPREFIX wineserver -w
[ ! -e "$installed/bin/tipenzo10.exe" ] || fail "the program is still installed"
[ ! -e "$start_menu" ] && [ ! -e "$desktop" ] || fail "a shortcut was left behind"
if "$run" reg query "$key" >/dev/null 2>&1; then fail "the entry in the installed programs stayed"; fi
grep -q '^ALUMNA DE WINDOWS|' "$data/usuarios.dat" || fail "the uninstall took the pupils' data"
echo "uninstalled; $data still holds the pupils"
