#!/usr/bin/env bash
# The main job: the real Morvane.dll converting a sample workbook inside the simulated Excel,
# under wine64. It builds what it needs, starts a private X display for the add-in's windows
# when none is given, and plays demo/sample.txt through the end-to-end harness, which prints
# the sample cells before and after each of the four conversions and each undo.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

./run setup
cmake --preset win64 >/dev/null
if ! cmake --build --preset win64 --target Morvane morvane_e2e >build/demo-build.log 2>&1; then
  cat build/demo-build.log >&2
  exit 1
fi

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
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

cmake/wine64-run build/win64/tests/e2e/morvane_e2e.exe demo/sample.txt \
  --dll build/win64/addin/com/Morvane.dll --ribbon resources/MorvaneRibbon.xml \
  --screens "$root/build/demo-screens" --name demo --quiet
