#!/usr/bin/env bash
# The long soak: the real program through many cycles of everyday use under Wine (see tests/soak/),
# in a Wine prefix and on a virtual display of its own below build/soak, from a copy of the built
# binaries, so that building and testing can go on meanwhile.
#   scripts/soak.sh [CYCLES [WARMUP]]     default 1000 cycles, the first 20 not measured
# Needs a Windows build (./test.sh, or cmake --build build/win). The figures of every measured cycle
# go to build/soak/soak-report.csv, the run's summary to build/soak/soak-log.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cycles="${1:-1000}"
warmup="${2:-20}"
[ -f build/win/bin/lumetra_soak.exe ] || { echo "soak: no Windows build; run ./test.sh first" >&2; exit 1; }

export LUMETRA_BUILD="$root/build/soak"
unset DISPLAY WINEPREFIX
mkdir -p "$LUMETRA_BUILD"
rm -rf "$LUMETRA_BUILD/bin"
cp -r build/win/bin "$LUMETRA_BUILD/bin"
sed "s#$root/build/win/bin#$LUMETRA_BUILD/bin#" build/win/bin/prefix-components.txt > "$LUMETRA_BUILD/bin/prefix-components.txt"

source scripts/wine-env.sh
trap wine_down EXIT
wine_up
bash scripts/prefix-install.sh "$LUMETRA_BUILD"

report="$LUMETRA_BUILD/soak-report.csv"
echo "soak: $cycles cycles ($warmup warm-up) on display $DISPLAY; figures in $report"
LUMETRA_SOAK_CYCLES="$cycles" LUMETRA_SOAK_WARMUP="$warmup" LUMETRA_SOAK_REPORT="$(winepath -w "$report")" \
  wine "$LUMETRA_BUILD/bin/lumetra_soak.exe" 2>&1 | tee "$LUMETRA_BUILD/soak-log.txt"
exit "${PIPESTATUS[0]}"
