#!/usr/bin/env bash
# Builds the Windows setup program from a clean clone: installs what the build needs (mingw-w64,
# NSIS, ...), configures a release build in build/release and builds its "installer" target.
# The setup program is build/release/Lumetra-<version>-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release

bash scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DLUMETRA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "Setup program: $build/Lumetra-$version-setup.exe"
