#!/usr/bin/env bash
# The installed program, run by a user who cannot write where it is installed: it starts, keeps
# its users file in that user's data folder, adds a pupil and ends orderly; the settings file and
# TIPENZO_DATA move the data folder; a data folder that cannot be written is told at start-up.
# The real program runs on an Xvfb of its own, driven with xdotool; as root the runs are made as
# the user "nobody". Exit 77 (skipped) without Xvfb or xdotool.
#   installed_program_test.sh <build folder>
set -euo pipefail
build=$1

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: needs Xvfb and xdotool (packages xvfb, xdotool)"
    exit 77
  fi
done
if [ "$(id -u)" -eq 0 ] && ! command -v setpriv >/dev/null; then
  echo "skipped: needs setpriv (package util-linux) to run as another user"
  exit 77
fi

work=$(mktemp -d /tmp/tipenzo10-installed-XXXXXX)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  if [ -s "$work/program.log" ]; then
    echo "--- what the program printed:"
    cat "$work/program.log"
  fi
  exit 1
}

# Installed to a prefix of its own.
chmod 755 "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log"; fail "cmake --install"; }
[ -x "$prefix/bin/tipenzo10" ] || fail "no program in $prefix/bin"
echo "installed to $prefix"

# The user: "nobody" with a home of its own when we are root, else ourselves with the prefix
# made read-only.
home=$work/home
mkdir -p "$home" "$work/xdg"
if [ "$(id -u)" -eq 0 ]; then
  uid=$(id -u nobody)
  gid=$(id -g nobody)
  chown "$uid:$gid" "$home"
  as_user=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)
else
  as_user=()
  chmod -R a-w "$prefix"
fi
if "${as_user[@]}" touch "$prefix/bin/probe" 2>/dev/null ||
  "${as_user[@]}" touch "$prefix/share/tipenzo10/probe" 2>/dev/null; then
  fail "the user can write the prefix"
fi
"${as_user[@]}" mkdir -m 700 "$home/runtime"
echo "running as $("${as_user[@]}" id -un) (uid $("${as_user[@]}" id -u)), HOME=$home"

# An X display of our own.
display=
for number in $(seq 141 190); do
  if [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; then continue; fi
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -e "/tmp/.X11-unix/X$number" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    display=:$number
    break
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=$display

stamp=$work/installed.stamp
touch "$stamp"
cd "$work"

# Starts the installed program as the user; extra NAME=VALUE arguments go to its environment.
start_program() {
  "${as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" \
    QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_DIRS="$work/xdg" \
    "$@" "$prefix/bin/tipenzo10" >"$work/program.log" 2>&1 &
  program_pid=$!
}
# Prints the id of the visible window whose title matches, waiting up to 30 s for it.
wait_window() {
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
wait_gone() {
  for _ in $(seq 100); do
    if [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)" ]; then return 0; fi
    sleep 0.1
  done
  return 1
}
# A left click at a pixel of a window's client area.
click() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.2
  xdotool click 1
  sleep 0.3
}
focus() {
  timeout 10 xdotool windowfocus --sync "$1" || true
  sleep 0.2
}
quit_program() {
  click "$1" 768 33 # the main menu's quit button
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after the quit button"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "the program ended with code $status"
}
menu_title='^TIPENZO 10 v2\.9c$'

echo "== 1. First run: the users file goes to the user's data folder; a pupil is added"
data=$home/.local/share/tipenzo10
start_program
menu=$(wait_window "$menu_title") || fail "the main menu did not show"
[ -f "$data/usuarios.dat" ] || fail "no users file in $data"
focus "$menu"
xdotool key g
users=$(wait_window '^USUARIOS$') || fail "G did not open the users window"
click "$users" 35 275 # Add
dialog=$(wait_window '^Datos de nuevo usuario$') || fail "Add did not open the new-user dialog"
click "$dialog" 155 55 # the name entry
xdotool type --delay 40 'alumna de prueba'
click "$dialog" 275 365 # Accept
wait_gone '^Datos de nuevo usuario$' || fail "the new-user dialog stayed open"
focus "$users"
xdotool key Escape
wait_gone '^USUARIOS$' || fail "Escape did not close the users window"
quit_program "$menu"
echo "ended with code 0; $data holds:"
ls -la "$data"
echo "--- usuarios.dat:"
cat -A "$data/usuarios.dat"
grep -q $'^ALUMNA DE PRUEBA|1|1|1|0|.*|NORMAL|ID-[0-9]\\{14\\}\r$' "$data/usuarios.dat" ||
  fail "the pupil is not in the users file"
[ ! -e "$data/~usuarios.dat" ] || fail "the lock copy was left behind"
[ "$(stat -c %U "$data/usuarios.dat")" = "$("${as_user[@]}" id -un)" ] || fail "users file owner"

echo "== 2. Second run: the lock copy lives while the program runs and goes at the orderly end"
start_program
menu=$(wait_window "$menu_title") || fail "the main menu did not show"
[ -f "$data/~usuarios.dat" ] || fail "no lock copy while the program runs"
cmp "$data/usuarios.dat" "$data/~usuarios.dat" || fail "the lock copy differs from the users file"
quit_program "$menu"
[ ! -e "$data/~usuarios.dat" ] || fail "the lock copy was left behind"
grep -q '^ALUMNA DE PRUEBA|' "$data/usuarios.dat" || fail "the pupil was lost"
personal=$(md5sum <"$data/usuarios.dat")

echo "== 3. A system-wide settings file points the program at a shared folder"
shared=$work/aula
mkdir -m 1777 "$shared"
mkdir -p "$work/xdg/tipenzo10"
printf '; aula de informática\r\n[datos]\r\ncarpeta=%s\r\n' "$shared" >"$work/xdg/tipenzo10/tipenzo10.ini"
start_program
menu=$(wait_window "$menu_title") || fail "the main menu did not show"
quit_program "$menu"
[ -f "$shared/usuarios.dat" ] || fail "no users file in the shared folder"
[ "$(md5sum <"$data/usuarios.dat")" = "$personal" ] || fail "the personal users file changed"
echo "shared folder: $(ls "$shared" | tr '\n' ' ')"

echo "== 4. TIPENZO_DATA goes over the settings file"
own=$home/propia
start_program TIPENZO_DATA="$own"
menu=$(wait_window "$menu_title") || fail "the main menu did not show"
quit_program "$menu"
[ -f "$own/usuarios.dat" ] || fail "no users file in $own"
echo "TIPENZO_DATA folder: $(ls "$own" | tr '\n' ' ')"

echo "== 5. A data folder that cannot be written is told, and the program goes on"
start_program TIPENZO_DATA="$prefix/share/tipenzo10/datos"
box=$(wait_window '^TIPENZO 10 ATENCI') || fail "no message about the data folder"
[ -z "$(xdotool search --onlyvisible --name "$menu_title" 2>/dev/null || true)" ] ||
  fail "the main menu showed before the message"
focus "$box"
xdotool key Return
menu=$(wait_window "$menu_title") || fail "the main menu did not show after the message"
quit_program "$menu"
echo "told, answered, ended with code 0"

changed=$(find "$prefix" -newer "$stamp")
[ -z "$changed" ] || fail "the program wrote into its prefix: $changed"
echo "the prefix is untouched; all runs as expected"
