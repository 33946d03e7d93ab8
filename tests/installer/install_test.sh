#!/usr/bin/env bash
# The setup program in a fresh Wine prefix, on a virtual display of its own:
#   1. silent install with the simulated devices; the installed program from the Start menu entry
#      (live picture, a recording), version, Add/Remove Programs entry;
#   2. silent uninstall keeping the settings: nothing installed remains, the user's files stay;
#   3. silent install with the default components (no simulated devices), then an uninstall that
#      removes the settings;
#   4. linux/lumetra-wine in the same prefix: it registers the built simulated devices and starts the
#      built program, writes its menu entry, and unregisters the simulated devices again.
# The stages are checked by lumetra_install_checks.exe inside the prefix.
# usage: install_test.sh SETUP_EXE CHECKS_EXE WORK_DIR PREFIX_COMPONENTS_LIST
set -uo pipefail
setup="$1" checks="$2" work="$3" components="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"

# A prefix and display of this test's own, apart from the test run's (both inherited from test.sh).
export LUMETRA_BUILD="$work"
export WINEPREFIX="$work/prefix"
unset DISPLAY
rm -rf "$WINEPREFIX"
mkdir -p "$work"
source "$root/scripts/wine-env.sh"
trap wine_down EXIT
wine_up || { echo "install_test: no Wine prefix"; exit 1; }

# The Wine stand-ins make up for what Wine lacks (they are never installed on Windows); the simulated
# devices come from the setup program.
while IFS= read -r dll; do
  [ -n "$dll" ] || continue
  case "$dll" in *lumetra_simdev.dll) continue ;; esac
  # A prefix only just created may turn the first registration down: one more try.
  wine regsvr32 /s "$(winepath -w "$dll")" || { sleep 2; wine regsvr32 /s "$(winepath -w "$dll")"; } ||
    { echo "install_test: cannot register $dll"; exit 1; }
done <"$components"

export LUMETRA_SETUP="$(winepath -w "$setup")"
export LUMETRA_SKIN_SOURCE="$(winepath -w "$root/res/skin")"
export LUMETRA_SCREENSHOT="$(winepath -w "$work/installed-program.bmp")"
rm -f "$work/installed-program.bmp" "$work/installed-program.png"
checks_win="$(winepath -w "$checks")"

failed=0
step() {  # step NAME COMMAND...: runs one stage (a time limit is on each Wine program)
  local name="$1"; shift
  echo "== $name"
  if ! "$@"; then echo "install_test: FAILED: $name"; failed=1; fi
}
checks() { timeout 300 wine "$checks_win" --gtest_filter="$1" --gtest_brief=1; }
setup() { timeout 300 wine "$LUMETRA_SETUP" "$@"; }

step "silent install with the simulated devices" setup /S /SIMULATED
step "installed" checks 'Installed.*'
[ -f "$work/installed-program.bmp" ] && convert "$work/installed-program.bmp" "$work/installed-program.png" &&
  rm -f "$work/installed-program.bmp" && echo "screenshot of the installed program: $work/installed-program.png"
step "silent uninstall" checks 'Uninstall.KeepingTheSettings'
step "uninstalled" checks 'Uninstalled.*'
step "silent install with the default components" setup /S
step "default components" checks 'DefaultInstall.*'
step "silent uninstall removing the settings" checks 'Uninstall.RemovingTheSettings'
step "settings removed" checks 'SettingsRemoved.*'

launch_and_check() {
  local desktop="$work/xdg/applications/lumetra.desktop"
  rm -rf "$work/xdg"
  XDG_DATA_HOME="$work/xdg" "$root/linux/lumetra-wine" --prefix "$WINEPREFIX" --build "$(dirname "$components")/.." \
    --simulated --desktop &
  local launcher=$!
  checks 'Launcher.*' || { kill "$launcher" 2>/dev/null; return 1; }
  local i
  for i in $(seq 1 100); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$launcher" 2>/dev/null; then echo "the launcher did not end with the program"; kill "$launcher"; return 1; fi
  grep -qx "Exec=\"$root/linux/lumetra-wine\"" "$desktop" || { echo "menu entry without the launcher's path"; return 1; }
  # Before a real camera is used, the simulated devices go.
  "$root/linux/lumetra-wine" --prefix "$WINEPREFIX" --build "$(dirname "$components")/.." --no-simulated --no-start
  if wine reg query 'HKCR\CLSID\{E6EBE972-930E-4DE3-BA2D-BAF0EC0E017F}' >/dev/null 2>&1; then
    echo "--no-simulated left the simulated video device registered"; return 1
  fi
}
step "the Linux launcher" launch_and_check

if [ "$failed" -ne 0 ]; then echo "install_test: some stages failed"; exit 1; fi
echo "install_test: all stages passed"
