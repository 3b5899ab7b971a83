#!/usr/bin/env bash
# The Debian package, built with cpack from the build folder: it holds exactly the program, its
# own files, the desktop entry, the metainfo and the icons, with the right owners and modes, and
# depends on what the program needs. Exit 77 (skipped) without cpack's Debian tools.
#   package_test.sh <build folder> <source folder> <version>
set -euo pipefail
build=$1
source=$2
version=$3
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool (packages cmake, dpkg-dev)"; exit 77; }
done

work=$(mktemp -d /tmp/tipenzo10-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
[ "$(basename "$deb")" = "tipenzo10_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "package named $(basename "$deb")"

echo "\$ dpkg-deb -c $(basename "$deb")"
dpkg-deb -c "$deb" | tee "$work/list"
echo "\$ dpkg-deb -f $(basename "$deb") Package Version Depends Section"
dpkg-deb -f "$deb" Package Version Depends Section | tee "$work/control"

# Every regular file, with its mode and owner, against the expected list.
app=es.tipenzo.Tipenzo10
expected=("-rwxr-xr-x root/root ./usr/bin/tipenzo10"
  "-rw-r--r-- root/root ./usr/share/tipenzo10/tipzhelp.html"
  "-rw-r--r-- root/root ./usr/share/applications/$app.desktop"
  "-rw-r--r-- root/root ./usr/share/metainfo/$app.metainfo.xml"
  "-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/$app.svg")
for n in $(seq -w 1 69); do
  expected+=("-rw-r--r-- root/root ./usr/share/tipenzo10/textos/TEXTO_$n")
done
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/$app.png")
done
awk '$1 !~ /^d/ {print $1, $2, $6}' "$work/list" | sort >"$work/files"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the expected list"
if awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {found=1} END {exit !found}' "$work/list"; then
  fail "a folder with unusual permissions"
fi

# The control fields: found library dependencies plus the explicit ones.
grep -qx "Package: tipenzo10" "$work/control" || fail "package name"
grep -qx "Version: $version" "$work/control" || fail "version is not $version"
grep -qx "Section: education" "$work/control" || fail "section"
for dependency in fonts-liberation qt6-translations-l10n qt6-qpa-plugins libqt6sql6-psql libqt6widgets6 libqt6gui6 \
  libqt6core6 libqt6network6 libc6 libstdc++6; do
  grep -q "^Depends:.*\b$dependency\b" "$work/control" || fail "no dependency on $dependency"
done

# The contents: the lesson texts byte for byte, icons of their sizes, a stripped program that
# looks for no libraries in the build folder.
dpkg-deb -x "$deb" "$work/root"
diff -r "$source/assets/textos" "$work/root/usr/share/tipenzo10/textos" || fail "lesson texts differ"
cmp "$source/assets/help/tipzhelp.html" "$work/root/usr/share/tipenzo10/tipzhelp.html" ||
  fail "help differs"
for size in "${sizes[@]}"; do
  png=$work/root/usr/share/icons/hicolor/${size}x$size/apps/$app.png
  read -r -a header < <(od -An -tu1 -w24 -N24 "$png")
  [ "${header[1]} ${header[2]} ${header[3]}" = "80 78 71" ] || fail "$png is not a PNG"
  width=$(((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19]))
  height=$(((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23]))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "$png is ${width}x$height"
done
if command -v readelf >/dev/null; then
  ! readelf -d "$work/root/usr/bin/tipenzo10" | grep -q -E "RPATH|RUNPATH" || fail "the program has a run path"
  ! readelf -S "$work/root/usr/bin/tipenzo10" | grep -q "\.debug_info" || fail "the program is not stripped"
fi
echo "package as expected: ${#expected[@]} files"
