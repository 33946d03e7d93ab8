#!/usr/bin/env bash
# Registers the simulated capture devices and the Wine stand-ins of a Windows build in the
# current Wine prefix (WINEPREFIX). The build lists them in bin/prefix-components.txt.
set -euo pipefail
build="${1:?usage: prefix-install.sh BUILD_DIR}"
list="$build/bin/prefix-components.txt"
[ -f "$list" ] || exit 0
while IFS= read -r dll; do
  [ -n "$dll" ] || continue
  [ -f "$dll" ] || { echo "prefix-install: missing $dll" >&2; exit 1; }
  wine regsvr32 /s "$(winepath -w "$dll")" || { echo "prefix-install: regsvr32 failed for $dll" >&2; exit 1; }
done <"$list"
