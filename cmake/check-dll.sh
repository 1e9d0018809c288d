#!/usr/bin/env bash
# Checks a built Morvane.dll the way Windows and COM will see it, with objdump only:
#   - it is a DLL of the given architecture;
#   - it exports exactly DllCanUnloadNow, DllGetClassObject, DllRegisterServer and
#     DllUnregisterServer, undecorated (no "@12" of an i686 stdcall name);
#   - it imports system DLLs only: no MinGW runtime DLL (libgcc, libstdc++, libwinpthread)
#     that would have to lie beside it;
#   - it carries a TYPELIB and a VERSION resource.
# Usage: cmake/check-dll.sh <path/to/Morvane.dll> <i686|x86_64>   (win32|win64 also accepted)
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 <dll> <i686|x86_64>" >&2
  exit 2
fi
dll=$1
case $2 in
  i686 | win32) triple=i686-w64-mingw32 format=pei-i386 ;;
  x86_64 | win64) triple=x86_64-w64-mingw32 format=pei-x86-64 ;;
  *) echo "unknown architecture: $2" >&2; exit 2 ;;
esac
[ -f "$dll" ] || { echo "FAIL: $dll does not exist" >&2; exit 1; }

failures=0
fail() {
  echo "FAIL: $dll: $*" >&2
  failures=$((failures + 1))
}

dump=$("$triple-objdump" -p "$dll")

actual_format=$("$triple-objdump" -f "$dll" | sed -n 's/.*file format \(.*\)$/\1/p')
[ "$actual_format" = "$format" ] || fail "file format is '$actual_format', expected '$format'"
# objdump lists the file header's flags one per line, indented; a DLL has the flag "DLL".
if ! grep -Eq '^[[:space:]]+DLL$' <<<"$dump"; then
  fail "not a DLL"
fi

# The export name table: the lines after "[Ordinal/Name Pointer] Table" up to the blank line.
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
               on && NF == 0 {exit}
               on {print $NF}' <<<"$dump" | sort)
expected=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if [ "$exports" != "$expected" ]; then
  fail "exports are [$(echo $exports)], expected exactly [$(echo $expected)]"
fi

# Imports: every DLL must be one Windows itself provides.
system_dlls='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|version|msvcrt|uxtheme|winspool\.drv|api-ms-win-[a-z0-9-]+)(\.dll)?$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
[ -n "$imports" ] || fail "no import table found"
for name in $imports; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
  case $lower in
    libgcc* | libstdc++* | libwinpthread*) fail "imports the MinGW runtime DLL $name" ;;
    *) grep -Eq "$system_dlls" <<<"$lower" || fail "imports $name, not a system DLL" ;;
  esac
done

# Resource types: the first level of the .rsrc directory (entries indented by three spaces).
types=$(awk '/The \.rsrc Resource Directory section/ {on = 1; next}
             on && /^[0-9a-f]+   Entry: / {print}' <<<"$dump")
grep -q 'name: .*: TYPELIB,' <<<"$types" || fail "no TYPELIB resource"
grep -q 'Entry: ID: 0x000010,' <<<"$types" || fail "no VERSION resource (type 16)"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "ok: $dll ($2): 4 exports, imports [$(echo $imports)], TYPELIB and VERSION resources"
