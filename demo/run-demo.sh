#!/usr/bin/env bash
# The main job: the real Morvane.dll converting a sample workbook inside the simulated Excel,
# under wine64. It builds what it needs, starts a private X display for the add-in's windows
# when none is given, and plays demo/sample.txt through the end-to-end harness, which prints
# the sample cells before and after each of the four conversions and each undo. It says what
# it is doing, stage by stage, and how long it took.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# One line per stage, so a newcomer sees what the minutes go to and where each stage's log is.
started=$SECONDS
stage() { printf '[%s] %s\n' "$(elapsed)" "$*"; }
elapsed() {
  local s=$((SECONDS - started))
  printf '%d:%02d' $((s / 60)) $((s % 60))
}
# Runs a stage's command with its output in a log; on failure shows the log's end and stops.
logged() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    stage "failed after $(elapsed); the whole log is $log"
    exit 1
  fi
}
mkdir -p build

stage "installing the Debian packages the demo needs, if any are missing (log: build/demo-setup.log)"
logged build/demo-setup.log ./run setup
stage "building Morvane.dll and the test harness for x86_64 (log: build/demo-build.log; a first build takes minutes)"
logged build/demo-build.log sh -c 'cmake --preset win64 && cmake --build --preset win64 --target Morvane morvane_e2e'

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  stage "starting a private X display for the add-in's windows (Xvfb)"
  n=91
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  # Wine's own processes hold the display: end them before the display goes.
  trap 'WINEPREFIX="$MORVANE_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

# A prefix of its own, one per display: the demo registers and unregisters the add-in, and Wine
# ties a prefix's windows to the display of the run that started it (see tests/e2e/wine-e2e).
display="${DISPLAY//[^0-9]/}"
export MORVANE_WINEPREFIX="${MORVANE_WINEPREFIX:-$root/build/wineprefix-demo-${display:-none}}"

if [ -d "$MORVANE_WINEPREFIX" ]; then
  stage "playing demo/sample.txt: the real DLL in a simulated Excel under wine64"
else
  stage "playing demo/sample.txt: the real DLL in a simulated Excel under wine64 (making the Wine prefix first, about 20 s: $MORVANE_WINEPREFIX)"
fi
status=0
cmake/wine64-run build/win64/tests/e2e/morvane_e2e.exe demo/sample.txt \
  --dll build/win64/addin/com/Morvane.dll --ribbon resources/MorvaneRibbon.xml \
  --screens "$root/build/demo-screens" --name demo --quiet || status=$?
if [ "$status" -eq 0 ]; then
  stage "demo finished in $(elapsed)"
else
  stage "demo failed (exit code $status) after $(elapsed)"
fi
exit "$status"
