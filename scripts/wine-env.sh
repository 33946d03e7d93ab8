# Sourced by the run and test scripts: a project-local Wine prefix on a display.
#   LUMETRA_BUILD   build folder that holds the prefix (default: <repo>/build)
# After `wine_up`, WINEPREFIX and DISPLAY point at a ready prefix and a live X server,
# and a persistent wineserver keeps process starts cheap. `wine_down` ends what wine_up started.

LUMETRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
LUMETRA_BUILD="${LUMETRA_BUILD:-$LUMETRA_ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$LUMETRA_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko download prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Bump when the prefix settings below change, so old prefixes are rebuilt.
LUMETRA_PREFIX_VERSION=3

_xvfb_state="$LUMETRA_BUILD/xvfb.state"

_display_alive() { DISPLAY="$1" xdpyinfo >/dev/null 2>&1; }

# Uses $DISPLAY when it answers; otherwise reuses or starts a project Xvfb.
wine_display_up() {
  if [ -n "${DISPLAY:-}" ] && _display_alive "$DISPLAY"; then return 0; fi
  mkdir -p "$LUMETRA_BUILD"
  if [ -f "$_xvfb_state" ]; then
    # Only the Xvfb this build folder started: its display number may since belong to another
    # run's server (a long soak, say), whose windows the tests must not touch.
    local d pid; read -r d pid < "$_xvfb_state"
    if [ -n "$pid" ] && [ "$(tr -dc '0-9' < "/tmp/.X${d#:}-lock" 2>/dev/null)" = "$pid" ] && _display_alive "$d"; then
      export DISPLAY="$d"
      return 0
    fi
  fi
  local n
  for n in $(seq 90 130); do
    # A display whose lock names a live process is taken; a stale lock Xvfb clears itself.
    if [ -e "/tmp/.X${n}-lock" ]; then
      local owner
      owner=$(tr -dc '0-9' < "/tmp/.X${n}-lock" 2>/dev/null)
      [ -n "$owner" ] && kill -0 "$owner" 2>/dev/null && continue
    fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 50); do
      _display_alive ":$n" && break
      sleep 0.1
    done
    if _display_alive ":$n"; then
      echo ":$n $pid" > "$_xvfb_state"
      export DISPLAY=":$n"
      LUMETRA_STARTED_XVFB=$pid
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

_prefix_reg() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
"mscoree"=""
"mshtml"=""
REG
}

wine_prefix_up() {
  local marker="$WINEPREFIX/.lumetra-prefix-$LUMETRA_PREFIX_VERSION"
  [ -f "$marker" ] && return 0
  echo "wine-env: creating Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  local reg="$WINEPREFIX/lumetra-settings.reg"
  _prefix_reg > "$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  touch "$marker"
}

wine_up() {
  wine_display_up || return 1
  wine_prefix_up
  # A persistent server for the whole run: later process starts take a fraction of a second.
  # The server and the services it starts must not hold the caller's output open.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_down() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${LUMETRA_STARTED_XVFB:-}" ]; then
    kill "$LUMETRA_STARTED_XVFB" 2>/dev/null || true
    rm -f "$_xvfb_state"
  fi
}
