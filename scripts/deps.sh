#!/usr/bin/env bash
# Installs what building and testing Lumetra needs on Debian, idempotently.
# Only packages that are missing are installed; a machine that has them all is not touched.
set -euo pipefail

packages=(
  cmake make g++ googletest libbenchmark-dev          # native core build, tests, benchmarks
  libyuv-dev                                          # the yardstick of the colour conversion benchmark
  mingw-w64 g++-mingw-w64-x86-64-posix               # Windows cross build
  wine64 wine                                         # Windows runtime for tests and the demo run
  xvfb x11-utils xauth imagemagick                    # virtual display and screenshots
  xdotool                                             # real pointer and key input (XTest) in end-to-end tests
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good # Wine's playback of AVI files
  ffmpeg                                              # ffprobe checks recorded files
  sox                                                 # synthesises the shutter sound
  pulseaudio                                          # a sound server for the tests of the platform's mixer
  python3 python3-pil                                 # draws the default skin
  fonts-dejavu-core
  clang libclang-rt-14-dev                            # libFuzzer harnesses (scripts/fuzz.sh)
  python3-pyftpdlib python3-aiosmtpd                 # loopback FTP and SMTP servers of the Internet tests
  nsis                                                # the Windows setup program (makensis)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
