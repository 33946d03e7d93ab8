#!/usr/bin/env bash
# Takes the user guide's pictures from the real program under Wine (the project's prefix, with the
# simulated capture device) and writes them as PNG files, the labelled main window among them.
#
#   docs/pictures/make_pictures.sh                  # build if needed, refresh docs/images
#   docs/pictures/make_pictures.sh --only playback  # one picture (a test name of guide_pictures.cpp)
#
# Options: --build DIR (a Windows build, default build/win), --out DIR (default docs/images),
# --only NAME, --from-test-run (no build; the calling test run's display and Wine server are used and
# left running).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build/win" out="$root/docs/images" only="*" standalone=1
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$(realpath -m "$2")"; shift 2 ;;
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    --from-test-run) standalone=""; shift ;;
    *) echo "usage: $0 [--build DIR] [--out DIR] [--only NAME] [--from-test-run]" >&2; exit 2 ;;
  esac
done

cd "$root"
if [ -n "$standalone" ]; then
  bash scripts/deps.sh
  [ -f "$build/CMakeCache.txt" ] ||
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2 --target Lumetra lumetra_prefix_components lumetra_guide_pictures >/dev/null
  unset DISPLAY  # always the project's virtual display: the same screen for every picture
fi
shots="$build/bin/lumetra_guide_pictures.exe"
[ -f "$shots" ] || { echo "make_pictures: $shots is not built" >&2; exit 1; }

source scripts/wine-env.sh
raw="$(mktemp -d)"
trap 'rm -rf "$raw"; if [ -n "$standalone" ]; then wine_down; fi' EXIT
wine_up
[ -z "$standalone" ] || bash scripts/prefix-install.sh "$build"

LUMETRA_GUIDE_OUT="$(winepath -w "$raw")" wine "$shots" --gtest_filter="GuidePicture.$only" --gtest_brief=1
mkdir -p "$out"
/usr/bin/python3 "$here/finish_pictures.py" --raw "$raw" --out "$out" --skin "$root/res/skin/Default/Full.ini" \
  --only "$only"
