#!/usr/bin/env bash
# Builds Lumetra and runs it under Wine with the simulated capture device.
# With a display ($DISPLAY) the program opens there and this script waits until you close it.
# Without one it runs on a virtual display for a few seconds and leaves a screenshot in build/.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/deps.sh
source scripts/wine-env.sh
had_display=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi
trap wine_down EXIT

# LUMETRA_APP_BUILD may name another Windows build folder (the test command's); one that is already
# configured keeps its settings.
build="${LUMETRA_APP_BUILD:-build/app}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMETRA_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$jobs" --target Lumetra lumetra_prefix_components >/dev/null
wine_up
bash scripts/prefix-install.sh "$build"

bin="$build/bin"
if [ -n "$had_display" ]; then
  echo "Starting Lumetra on $DISPLAY (close it, or press Esc, to end)."
  (cd "$bin" && wine Lumetra.exe)
else
  shot="$LUMETRA_BUILD/screenshot.png"
  echo "No display: running Lumetra on the virtual display $DISPLAY."
  (cd "$bin" && wine Lumetra.exe) &
  program=$!
  sleep "${LUMETRA_RUN_SECONDS:-8}"
  import -display "$DISPLAY" -window root "$shot"
  wineserver -k >/dev/null 2>&1 || true
  # Only the program: the virtual display started above is a child of this script too, and
  # wine_down ends it on the way out.
  wait "$program" || true
  echo "Screenshot of the running program: $shot"
fi
