#!/usr/bin/env bash
# Times the real Morvane.dll converting N text cells to UPPER CASE through the end-to-end
# harness (the simulated Excel served over IDispatch under wine64), for each DLL given:
#   bench/e2e/run-dll-bench.sh <harness.exe> <dll> [<dll> ...]
# Prints one line per DLL and size: the wall time of the whole run (load, connect, convert,
# undo-copy, checks, unload) and, as a floor, the same run with no conversion.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
harness=$1
shift
work="$root/build/bench-e2e"
mkdir -p "$work"
scenario() {  # $1 cells, $2 "convert" or "none"
  local n=$1 file="$work/convert-$1-$2.txt"
  {
    echo "version 11.0"
    echo "workbook Sheet1"
    echo "fill Sheet1 A1:A$n some text"
    echo "select A1:A$n"
    echo "start"
    if [ "$2" = convert ]; then
      echo "click &Morvane / &Morvane &Wizard"
      echo "  dialog press CONVERT"
      echo "expect cell Sheet1 A$n \"SOME TEXT\""
    fi
    echo "quit"
  } >"$file"
  echo "$file"
}
ms() { date +%s%3N; }
for n in ${MORVANE_BENCH_CELLS:-1000 10000 100000}; do
  for kind in none convert; do
    file=$(scenario "$n" "$kind")
    for dll in "$@"; do
      start=$(ms)
      # The run's own end checks (the DLL kept loaded, the registry as found) may fail for an
      # older DLL; the conversion counts as done when its cell check passed.
      "$root/tests/e2e/wine-e2e" "$root/cmake/wine64-run" "$root/build/win64/wineprefix-e2e" \
        "$harness" "$file" --dll "$dll" --ribbon "$root/resources/MorvaneRibbon.xml" \
        --name "bench-$n" >"$work/last.log" 2>&1 || true
      local_ms=$(($(ms) - start))
      converted=yes
      if grep -q 'FAILED: line\|did not return' "$work/last.log"; then converted=no; fi
      echo "cells=$n run=$kind dll=$dll wall_ms=$local_ms finished=$converted"
    done
  done
done
