#!/usr/bin/env bash
# Times the real Morvane.dll through the end-to-end harness (the simulated Excel served over
# IDispatch under wine64), for each DLL given, the DLLs taking turns within every case:
#   bench/e2e/run-dll-bench.sh <harness.exe> <dll> [<dll> ...]
# Cases:
#   load-classic, load-ribbon: Excel 2003 and Excel 2016 start with the add-in and quit; the
#     harness times LoadLibrary to OnConnection's return, and GetCustomUI (ribbon only).
#   cells=N: N texts in A1:AN, selected exactly, converted to UPPER CASE from the wizard.
#   unchanged=N: the same with texts already in UPPER CASE: nothing to write.
#   undo=N: the conversion of cells=N, then Undo Changes; the command counters are the undo's.
#   cells16=N: cells=N on Excel 2016, whose search for constants is answered whole.
#   column=N: the same N texts with the whole column A selected.
# Prints one line per DLL and case: the wall time of the whole harness run and what the harness
# counted (see tests/e2e/bench_counters.h): the command's wall and host-thread CPU time, the
# time inside the served Excel, Invokes and GetIDsOfNames, label texts and bar positions set.
# MORVANE_BENCH_CELLS (default "1000 10000 100000"), MORVANE_BENCH_COLUMN_CELLS (default 10000,
# empty for none) and MORVANE_BENCH_LOAD_RUNS (default 3) change the cases.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
harness=$1
shift
work="$root/build/bench-e2e"
mkdir -p "$work"
export MORVANE_E2E_BENCH=1

# $1 name, $2 Excel version, $3 cells (0: none), $4 selection (empty: no conversion), $5 what the
# cells hold (default "some text"), $6 "undo" to undo the conversion as the last command.
scenario() {
  local file="$work/$1.txt" text=${5:-some text}
  {
    echo "version $2"
    echo "workbook Sheet1"
    if [ "$3" -gt 0 ]; then
      echo "fill Sheet1 A1:A$3 $text"
      echo "select ${4:-A1}"
    fi
    echo "start"
    # Excel 2003 has the menu; later versions the ribbon.
    local wizard="click &Morvane / &Morvane &Wizard" undo="click &Morvane / Undo Changes"
    if [ "${2%%.*}" -ge 12 ]; then
      wizard="ribbon mvMain" undo="ribbon mvUndo"
    fi
    if [ -n "$4" ]; then
      echo "$wizard"
      echo "  dialog press CONVERT"
      echo "expect cell Sheet1 A$3 \"SOME TEXT\""
    fi
    if [ "${6:-}" = undo ]; then
      echo "$undo"
      echo "expect cell Sheet1 A$3 \"$text\""
    fi
    echo "quit"
  } >"$file"
  echo "$file"
}

ms() { date +%s%3N; }

run() {  # $1 case label, $2 scenario file
  local dll start wall finished counters
  for dll in "${dlls[@]}"; do
    start=$(ms)
    # The run's own end checks (the DLL kept loaded, the registry as found) may fail for an
    # older DLL; a conversion counts as done when its cell check passed.
    "$root/tests/e2e/wine-e2e" "$root/cmake/wine64-run" "$root/build/win64/wineprefix-e2e" \
      "$harness" "$2" --dll "$dll" --ribbon "$root/resources/MorvaneRibbon.xml" \
      --limit 1200 --name "bench-run" >"$work/last.log" 2>&1 || true
    wall=$(($(ms) - start))
    finished=yes
    if grep -q 'FAILED: line\|did not return\|did not finish' "$work/last.log"; then finished=no; fi
    counters=$(sed -n 's/^bench: //p' "$work/last.log" | tr -d '\r')
    echo "$1 dll=$dll wall_ms=$wall finished=$finished $counters"
  done
}

dlls=("$@")
for ((i = 1; i <= ${MORVANE_BENCH_LOAD_RUNS:-3}; i++)); do
  run "case=load-classic" "$(scenario load-classic 11.0 0 "")"
  run "case=load-ribbon" "$(scenario load-ribbon 16.0 0 "")"
done
for n in ${MORVANE_BENCH_CELLS:-1000 10000 100000}; do
  run "case=cells-$n" "$(scenario "cells-$n" 11.0 "$n" "A1:A$n")"
  run "case=cells16-$n" "$(scenario "cells16-$n" 16.0 "$n" "A1:A$n")"
  run "case=unchanged-$n" "$(scenario "unchanged-$n" 11.0 "$n" "A1:A$n" "SOME TEXT")"
  run "case=undo-$n" "$(scenario "undo-$n" 11.0 "$n" "A1:A$n" "some text" undo)"
done
for n in ${MORVANE_BENCH_COLUMN_CELLS-10000}; do
  run "case=column-$n" "$(scenario "column-$n" 11.0 "$n" "A:A")"
done
