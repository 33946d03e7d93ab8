#!/usr/bin/env bash
# The run command on a headless machine: with no display and no Wine prefix of its own yet, it starts
# a virtual display, shows the program for a few seconds, and must then end by itself and leave a
# screenshot of the running program.
#   run_command_check.sh REPO_ROOT WINDOWS_BUILD WORK_FOLDER
set -u
root="$1" winbuild="$2" work="$3"
limit=900   # a hang detector, far above a normal run (a new prefix takes a minute on a busy machine)
mkdir -p "$work"
shot="$work/screenshot.png"
rm -f "$shot"

timeout "$limit" env -u DISPLAY -u WINEPREFIX LUMETRA_BUILD="$work" LUMETRA_APP_BUILD="$winbuild" \
  LUMETRA_RUN_SECONDS=6 bash "$root/run.sh" </dev/null >"$work/run.log" 2>&1
rc=$?

# Whatever happened, nothing of the run may stay behind.
if [ -f "$work/xvfb.state" ]; then kill "$(cut -d' ' -f2 "$work/xvfb.state")" 2>/dev/null; fi
WINEPREFIX="$work/wineprefix" wineserver -k >/dev/null 2>&1

fail() { echo "FAILED: $*"; echo "--- run.sh output:"; tail -20 "$work/run.log"; exit 1; }
[ "$rc" -ne 124 ] || fail "./run.sh did not end by itself within $limit s"
[ "$rc" -eq 0 ] || fail "./run.sh ended with status $rc"
grep -q "Screenshot of the running program: $shot" "$work/run.log" || fail "the run did not name its screenshot"
[ -s "$shot" ] || fail "no screenshot at $shot"
size=$(identify -format '%wx%h' "$shot" 2>/dev/null)
[ "$size" = "1280x1024" ] || fail "the screenshot is not of the virtual screen ($size)"
# The program's skin and live picture bring many colours to an otherwise black screen.
colours=$(convert "$shot" -format '%k' info: 2>/dev/null)
[ "${colours:-0}" -gt 100 ] || fail "the screenshot shows no program (only $colours colours)"
echo "run.sh ended by itself (status 0) and left a ${size} screenshot with $colours colours"
