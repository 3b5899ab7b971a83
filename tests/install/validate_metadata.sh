#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators. Exit 77 (skipped) when
# the validator is not installed (packages desktop-file-utils, appstream).
#   validate_metadata.sh desktop <file.desktop> | metainfo <file.metainfo.xml>
set -uo pipefail
kind=$1
file=$2
case "$kind" in
  desktop) validator=(desktop-file-validate "$file") ;;
  metainfo) validator=(appstreamcli validate --no-net --explain "$file") ;;
  *) echo "unknown kind: $kind"; exit 2 ;;
esac
if ! command -v "${validator[0]}" >/dev/null; then
  echo "skipped: ${validator[0]} is not installed"
  exit 77
fi
echo "\$ ${validator[*]}"
output=$("${validator[@]}" 2>&1)
status=$?
echo "$output"
[ "$status" -eq 0 ] || { echo "FAILED: ${validator[0]} exited with $status"; exit 1; }
# desktop-file-validate answers 0 even when it hints; a hint is a fault to mend here too.
if [ "$kind" = desktop ] && [ -n "$output" ]; then
  echo "FAILED: desktop-file-validate had something to say"
  exit 1
fi
echo "valid"
