#!/usr/bin/env bash
# A throwaway PostgreSQL for the tests of the school's server: its own cluster in FOLDER,
# listening on 127.0.0.1 (a free port) and on a socket in FOLDER, run as an unprivileged account
# when started by root (PostgreSQL refuses to run as root).
#
#   bash scripts/test_server.sh start FOLDER   writes FOLDER/tipenzo10.ini with a [servidor]
#                                              section for the tests (role "tipenzo", may create
#                                              databases; database "tipenzo"), or, when
#                                              PostgreSQL is missing, FOLDER/sin-servidor.txt
#                                              saying so (the tests then skip, giving that reason);
#                                              with openssl, the server takes encrypted
#                                              connections with a certificate for 127.0.0.1
#                                              signed by FOLDER/raiz.crt (FOLDER/otra-raiz.crt
#                                              signed nothing of it)
#   bash scripts/test_server.sh stop FOLDER    stops it and removes FOLDER
#
# Run by root, the server's account may not reach FOLDER (a clone in a folder only its owner
# may enter): FOLDER is then a link to a folder of its own under /tmp.
#
# The tests' server skips syncing to disk; TIPENZO_TEST_SERVER_DURABLE=1 keeps it (benchmarks).
set -u
action=${1:?start or stop}
named=$(realpath -ms "${2:?the folder}")
folder=$(realpath -m "$named")
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  as_server=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi

case $action in
start)
  [ -f "$folder/datos/postmaster.pid" ] && "${as_server[@]}" "$bin/pg_ctl" -D "$folder/datos" -m immediate stop >/dev/null 2>&1
  rm -rf "$folder"
  if [ -L "$named" ]; then rm -f "$named"; fi
  folder=$named
  mkdir -p "$(dirname "$named")"
  if [ ${#as_server[@]} -gt 0 ] && own=$(mktemp -d /tmp/tipenzo10-servidor-XXXXXX); then
    chmod 755 "$own" && ln -s "$own" "$named" && folder=$own
  fi
  mkdir -p "$folder"
  if [ ${#as_server[@]} -gt 0 ] && ! "${as_server[@]}" test -x "$folder"; then
    echo "la cuenta nobody no llega a la carpeta del servidor de pruebas: $folder" \
      >"$folder/sin-servidor.txt"
    exit 0
  fi
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
    echo "PostgreSQL no está instalado (initdb y pg_ctl): bash scripts/deps.sh lo instala" \
      >"$folder/sin-servidor.txt"
    exit 0
  fi
  secret() { head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n'; }
  admin=$(secret)
  password=$(secret)
  printf '%s\n' "$admin" >"$folder/admin.pw"
  # A certificate for 127.0.0.1 signed by a root of its own, and an unrelated root.
  tls=""
  if command -v openssl >/dev/null 2>&1 && (
    cd "$folder" &&
      for root in raiz otra-raiz; do
        openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 \
          -subj "/CN=$root de pruebas" -keyout "$root.key" -out "$root.crt" || exit 1
      done &&
      openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=127.0.0.1" \
        -keyout servidor.key -out servidor.csr &&
      printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\n' >servidor.ext &&
      openssl x509 -req -in servidor.csr -CA raiz.crt -CAkey raiz.key -CAcreateserial -days 30 \
        -extfile servidor.ext -out servidor.crt && chmod 600 servidor.key
  ) >"$folder/openssl.log" 2>&1; then
    tls="-c ssl=on -c ssl_cert_file=$folder/servidor.crt -c ssl_key_file=$folder/servidor.key"
  fi
  durability="-c fsync=off"
  [ "${TIPENZO_TEST_SERVER_DURABLE:-0}" = 1 ] && durability=""
  [ ${#as_server[@]} -gt 0 ] && chown -R nobody:nogroup "$folder"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  if ! "${as_server[@]}" "$bin/initdb" -D "$folder/datos" -U postgres --pwfile="$folder/admin.pw" \
      --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --no-locale >"$folder/initdb.log" 2>&1 ||
    ! "${as_server[@]}" "$bin/pg_ctl" -D "$folder/datos" -l "$folder/servidor.log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -k $folder $durability $tls -c max_connections=200" \
      start >/dev/null 2>&1 ||
    ! "${as_server[@]}" "$bin/psql" -X -q -h "$folder" -p "$port" -U postgres -d postgres \
      -v ON_ERROR_STOP=1 -c "CREATE ROLE tipenzo LOGIN CREATEDB PASSWORD '$password'" \
      -c "CREATE DATABASE tipenzo OWNER tipenzo" >"$folder/psql.log" 2>&1; then
    { echo "el servidor de pruebas no arrancó:"; tail -n 5 "$folder"/*.log; } >"$folder/sin-servidor.txt"
    exit 0
  fi
  printf '[servidor]\ndireccion=127.0.0.1\npuerto=%s\nbase=tipenzo\nusuario=tipenzo\nclave=%s\n' \
    "$port" "$password" >"$folder/tipenzo10.ini"
  ;;
stop)
  if [ -n "$bin" ] && [ -f "$folder/datos/postmaster.pid" ]; then
    "${as_server[@]}" "$bin/pg_ctl" -D "$folder/datos" -m immediate stop >/dev/null 2>&1
  fi
  rm -rf "$folder"
  if [ -L "$named" ]; then rm -f "$named"; fi
  ;;
*)
  echo "usage: test_server.sh start|stop FOLDER" >&2
  exit 2
  ;;
esac
