#!/usr/bin/env bash
# Makes Qt for 64-bit Windows (MinGW-w64) and the libraries the Windows build needs beside it,
# in one folder, TIPENZO_QT_WINDOWS (default ~/.cache/tipenzo10/qt-6.4.2-mingw-w64):
#
#   Qt 6.4.2 (qtbase)   unpacked from ../shared/windows/qt-6.4.2-mingw-w64.tar.xz when that is
#                       there, else built from Debian's qt6-base source with the same options
#                       (about 95 minutes on two cores)
#   GoogleTest, Google Benchmark   from Debian's sources, for the tests and the benchmarks
#   OpenSSL             its two static libraries alone, from Debian's openssl source (mingw64
#                       target)
#   libpq               PostgreSQL's client library alone (libpq.dll, with that OpenSSL inside
#                       for TLS), from Debian's postgresql-15 source
#   qsqlpsql.dll        Qt's PostgreSQL driver, from the qt6-base source, against that libpq
#
# Each part is made once and marked done in the folder; a developer waits for it the first time
# only. Debian 12; installs the packages it needs (apt-get, through sudo when not root) and adds a
# deb-src line for the suite the machine uses when there is none.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
  qt6-base-dev qt6-base-dev-tools cmake ninja-build make perl libgtest-dev dpkg-dev xz-utils bzip2

work=$qt_folder.work
mkdir -p "$(dirname "$qt_folder")"
toolchain=$repo/scripts/windows/mingw-w64.cmake
host=x86_64-w64-mingw32
jobs=$(nproc)

# Debian's source packages: one deb-src line for the suite the machine already uses.
debian_source() {
  mkdir -p "$work" && cd "$work"
  if ! apt-get source --download-only "$1" >/dev/null 2>&1; then
    if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/; then
      local suite
      suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$suite" | "${as_root[@]}" tee /etc/apt/sources.list.d/tipenzo10-deb-src.sources >/dev/null
    fi
    "${as_root[@]}" apt-get update -qq
    apt-get source --download-only "$1" >/dev/null
  fi
}

done_mark() { echo "$qt_folder/.tipenzo-$1"; }
part_done() { [ -f "$(done_mark "$1")" ]; }
mark_done() { date -u +%FT%TZ > "$(done_mark "$1")"; }

step_start=0
begin() { step_start=$SECONDS; echo "qt.sh: $1..."; }
finish() {
  mark_done "$1"
  echo "qt.sh: $1 ready ($(((SECONDS - step_start) / 60)) min $(((SECONDS - step_start) % 60)) s)"
}

# --- Qt ---------------------------------------------------------------------------------------
if ! qt_ready; then
  rm -rf "$qt_folder" "$qt_folder.part"
  if [ -f "$qt_archive" ]; then
    begin "Qt $qt_version from $(basename "$qt_archive")"
    mkdir -p "$qt_folder.part"
    tar -C "$qt_folder.part" --strip-components=1 -xJf "$qt_archive"
  else
    begin "Qt $qt_version from Debian's source (no $qt_archive)"
    debian_source qt6-base
    [ -d qtbase-everywhere-src-$qt_version ] || tar -xJf qt6-base_$qt_version+dfsg.orig.tar.xz
    rm -rf qt-build && mkdir qt-build && cd qt-build
    # Debian's source drops wintab, sqlite and iaccessible2: no tablet events, no SQLite.
    cmake -G Ninja ../qtbase-everywhere-src-$qt_version \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$qt_folder.part" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=FALSE -DQT_BUILD_TESTS=FALSE \
      -DINPUT_opengl=no -DINPUT_dbus=no -DINPUT_sql_sqlite=no -DINPUT_sql_odbc=no \
      -DINPUT_sql_psql=no -DINPUT_sql_mysql=no -DINPUT_system_zlib=no -DINPUT_libpng=qt \
      -DINPUT_libjpeg=qt -DINPUT_freetype=qt -DINPUT_harfbuzz=qt -DINPUT_pcre=qt \
      -DINPUT_doubleconversion=qt -DINPUT_tabletevent=no -DFEATURE_accessibility=ON >/dev/null
    nice -n 19 cmake --build . --parallel "$jobs"
    cmake --install . >/dev/null
    cd "$work" && rm -rf qt-build
  fi
  mv "$qt_folder.part" "$qt_folder"
  finish qt
fi

# Projects built against this Qt, for Windows.
qt_cmake=(-G Ninja -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_TOOLCHAIN_FILE="$qt_folder/lib/cmake/Qt6/qt.toolchain.cmake"
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

# --- GoogleTest and Google Benchmark ----------------------------------------------------------
if ! part_done googletest; then
  begin "GoogleTest"
  rm -rf "$work/gtest" && mkdir -p "$work"
  cmake -S /usr/src/googletest -B "$work/gtest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt_folder" >/dev/null
  nice -n 19 cmake --build "$work/gtest" -j"$jobs" >/dev/null
  cmake --install "$work/gtest" >/dev/null
  rm -rf "$work/gtest"
  finish googletest
fi

if ! part_done benchmark; then
  begin "Google Benchmark"
  debian_source benchmark
  rm -rf benchmark-src && mkdir benchmark-src
  tar -C benchmark-src --strip-components=1 -xzf benchmark_*.orig.tar.gz
  cmake -S benchmark-src -B benchmark-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt_folder" \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF >/dev/null
  nice -n 19 cmake --build benchmark-build -j"$jobs" >/dev/null
  cmake --install benchmark-build >/dev/null
  rm -rf benchmark-src benchmark-build
  finish benchmark
fi

# --- OpenSSL: libcrypto and libssl only (no programs, tests or manuals), static (libpq.dll takes
# them in: compiled once, not once for DLLs and again for static libraries), without the
# algorithms no PostgreSQL connection uses. ------------------------------------------------------
if ! part_done openssl; then
  begin "OpenSSL (libraries only)"
  debian_source openssl
  rm -rf openssl-src && mkdir openssl-src
  tar -C openssl-src --strip-components=1 -xzf openssl_*.orig.tar.gz
  cd openssl-src
  ./Configure mingw64 --cross-compile-prefix=$host- --prefix="$qt_folder" --libdir=lib \
    no-shared no-tests no-legacy no-engine no-comp no-srp no-gost no-idea no-seed no-sm2 no-sm3 no-sm4 \
    no-aria no-camellia no-whirlpool no-mdc2 no-ts >/dev/null
  nice -n 19 make -j"$jobs" build_libs >/dev/null 2>openssl-warnings.log
  make install_dev >/dev/null
  cd "$work" && rm -rf openssl-src
  finish openssl
fi

# --- libpq: PostgreSQL's client library alone ---------------------------------------------------
if ! part_done libpq; then
  begin "libpq"
  debian_source postgresql-15
  rm -rf postgresql-src && mkdir postgresql-src
  tar -C postgresql-src --strip-components=1 -xjf postgresql-15_*.orig.tar.bz2
  cd postgresql-src
  # (Its warnings about Bison and Flex do not concern a released source.)
  ./configure --host=$host --prefix="$qt_folder" --with-ssl=openssl --without-readline \
    --without-zlib --without-icu --without-gssapi --without-ldap \
    CPPFLAGS="-I$qt_folder/include" LDFLAGS="-L$qt_folder/lib" \
    LIBS="-lcrypt32 -lws2_32 -lgdi32 -ladvapi32 -luser32" >configure.log 2>&1 ||
    { tail -40 configure.log; exit 1; }
  nice -n 19 make -C src/interfaces/libpq -j"$jobs" >/dev/null
  make -C src/interfaces/libpq install >/dev/null
  # The driver reads the version from pg_config.h.
  cp src/include/postgres_ext.h src/include/pg_config_ext.h src/include/pg_config.h \
    "$qt_folder/include/"
  x86_64-w64-mingw32-strip "$qt_folder/bin/libpq.dll"
  cd "$work" && rm -rf postgresql-src
  finish libpq
fi

# --- Qt's PostgreSQL driver -------------------------------------------------------------------
if ! part_done qsqlpsql; then
  begin "Qt's PostgreSQL driver"
  debian_source qt6-base
  drivers=qtbase-everywhere-src-$qt_version/src/plugins/sqldrivers
  [ -d "$drivers" ] || tar -xJf qt6-base_$qt_version+dfsg.orig.tar.xz "$drivers"
  rm -rf drivers-build
  cmake -S "$drivers" -B drivers-build "${qt_cmake[@]}" -DCMAKE_INSTALL_PREFIX="$qt_folder" \
    -DFEATURE_sql_psql=ON -DFEATURE_sql_odbc=OFF -DFEATURE_sql_sqlite=OFF \
    -DFEATURE_sql_mysql=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
    -DFEATURE_sql_ibase=OFF -DPostgreSQL_ROOT="$qt_folder" >/dev/null
  nice -n 19 cmake --build drivers-build -j"$jobs" >/dev/null
  cmake --install drivers-build >/dev/null
  rm -rf drivers-build
  finish qsqlpsql
fi

rm -rf "$work"
echo "qt.sh: Qt for Windows and its libraries are in $qt_folder"
