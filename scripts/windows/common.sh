# Shared by the scripts of scripts/windows/ (sourced, not run).
#
# TIPENZO_QT_WINDOWS  the folder of Qt for Windows and of the libraries made beside it
#                     (default ~/.cache/tipenzo10/qt-6.4.2-mingw-w64)
# TIPENZO_BUILD_WINDOWS  the build folder (default build-windows/ of the checkout)

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
qt_version=6.4.2
qt_folder=${TIPENZO_QT_WINDOWS:-$HOME/.cache/tipenzo10/qt-$qt_version-mingw-w64}
build_folder=${TIPENZO_BUILD_WINDOWS:-$repo/build-windows}
# The archive of Qt for Windows the project keeps beside the checkout.
qt_archive=$repo/../shared/windows/qt-$qt_version-mingw-w64.tar.xz
mingw_sysroot=/usr/x86_64-w64-mingw32

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# Installs the Debian packages given that are missing.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Whether Qt for Windows is in its folder (a stamp written once it was complete).
qt_ready() {
  [ -f "$qt_folder/.tipenzo-qt" ]
}

# Seconds since the script started, for the timings it prints.
elapsed() {
  echo "$((SECONDS / 60)) min $((SECONDS % 60)) s"
}

# Whether Qt for Windows can be had without building it from source (about 95 minutes): the
# archive beside the checkout, or a folder made before.
qt_at_hand() {
  [ -f "$qt_archive" ] || qt_ready
}
