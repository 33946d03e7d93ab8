#!/usr/bin/env bash
# Runs a Windows program in a second Wine prefix that has a sound card: Wine's PulseAudio driver
# talking to a private PulseAudio server with a null sink, started here and stopped afterwards.
# The project's main prefix stays without sound (its tests need none, and sound there would slow
# them down). Used by the tests of the platform's own mixer.
#   with-sound.sh PROGRAM.exe [ARGS...]
# LUMETRA_SOUND_COMPONENTS=BUILD_DIR also registers that build's simulated devices and stand-ins.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
wine_display_up || exit 1
export WINEPREFIX="$LUMETRA_BUILD/wineprefix-sound"

sound_prefix_up() {
  local marker="$WINEPREFIX/.lumetra-sound"
  wine_prefix_up || return 1
  [ -f "$marker" ] && return 0
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 || return 1
  touch "$marker"
}

runtime=$(mktemp -d /tmp/lumetra-pulse.XXXXXX)
pulse_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

sound_prefix_up || { echo "with-sound: no sound prefix" >&2; exit 1; }
if [ -n "${LUMETRA_SOUND_COMPONENTS:-}" ]; then
  bash "$here/prefix-install.sh" "$LUMETRA_SOUND_COMPONENTS" || exit 1
fi

# A server of our own: no autospawn, no session bus, nothing of the user's configuration.
export PULSE_RUNTIME_PATH="$runtime/run" PULSE_STATE_PATH="$runtime/state" PULSE_CONFIG_PATH="$runtime/config"
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH" "$PULSE_CONFIG_PATH"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit=yes --disable-shm=yes \
  -L "module-null-sink sink_name=lumetra_null" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$runtime/native" \
  >"$runtime/pulse.log" 2>&1 </dev/null &
pulse_pid=$!
for _ in $(seq 1 100); do
  [ -S "$runtime/native" ] && break
  sleep 0.1
done
if [ ! -S "$runtime/native" ]; then
  echo "with-sound: the sound server did not start" >&2
  cat "$runtime/pulse.log" >&2
  exit 1
fi
export PULSE_SERVER="unix:$runtime/native"

wine "$@"
