#!/usr/bin/env bash
# The release files as a user and an administrator meet them, under wine64 (run by ctest in the
# win64 build; the win32 build must exist too):
#   - made by packaging/make-dist, signed with a throw-away certificate and verified;
#   - the MSIs' registry rows are the registration's own rows; the x86 package differs from the
#     x64 one only in the architecture's rows and its 32-bit template; one version throughout;
#   - the x64 MSI installed silently into a fresh prefix, the add-in loaded through Excel's
#     registry path from the installed folder and a scenario played (convert, undo, exit),
#     uninstalled: nothing of Morvane left in the registry or the install folder;
#   - an older package, then the newer: one entry, the newer; uninstalled, nothing left;
#   - the x64 package, then the x86 one of the same version: one entry, the x86 one, and the
#     32-bit add-in loads from the installed folder; uninstalled, nothing left.
# Writes a GoogleTest-style report (one case per check) where GTEST_OUTPUT says.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work="$root/build/win64/packaging-test"
display="${DISPLAY:-}"
export MORVANE_WINEPREFIX="$root/build/win64/wineprefix-msi-${display//[^0-9]/}"
report_dir="${GTEST_OUTPUT:-}"
report_dir="${report_dir#xml:}"
unset GTEST_OUTPUT
wine() { "$root/cmake/wine64-run" "$@"; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

passed=0
failures=()
check() {  # check <name> <command...>: one test case
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failures+=("$name")
    echo "FAILED: $name"
  fi
}
write_report() {
  local total=$((passed + ${#failures[@]})) f
  echo "$passed passed, ${#failures[@]} failed"
  [ -n "$report_dir" ] || return 0
  report_dir="${report_dir#Z:}"
  report_dir="${report_dir//\\//}"
  mkdir -p "$report_dir"
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"$total\" failures=\"${#failures[@]}\" name=\"AllTests\">"
    echo "  <testsuite name=\"packaging\" tests=\"$total\" failures=\"${#failures[@]}\">"
    for f in "${failures[@]}"; do
      echo "    <testcase name=\"${f//\"/}\" classname=\"packaging\"><failure message=\"failed\"/></testcase>"
    done
    echo "  </testsuite>"
    echo "</testsuites>"
  } >"$report_dir/packaging.xml"
}
trap write_report EXIT

rm -rf "$work"
mkdir -p "$work/cert"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win64/CMakeCache.txt")
dist="$work/dist"

# A throw-away code-signing certificate, made now.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/cert/key.pem" -out "$work/cert/cert.pem" \
  -days 2 -subj "/CN=Morvane test signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey "$work/cert/key.pem" -in "$work/cert/cert.pem" \
  -out "$work/cert/test.pfx" -passout pass:throwaway
check "make-dist signs and verifies both DLLs and both MSIs" \
  env MORVANE_SIGN_PFX="$work/cert/test.pfx" MORVANE_SIGN_PASSWORD=throwaway \
  MORVANE_SIGN_CA="$work/cert/cert.pem" "$root/packaging/make-dist" "$dist"
msi64="$dist/Morvane-$version-x64.msi"
msi86="$dist/Morvane-$version-x86.msi"
stage="$root/build/dist-stage"

signatures() {
  local f
  for f in "$msi64" "$msi86" "$stage/x64/Morvane.dll" "$stage/x86/Morvane.dll"; do
    osslsigncode verify -CAfile "$work/cert/cert.pem" -in "$f" >/dev/null 2>&1 || return 1
    # Against the system's CAs the throw-away certificate is not trusted.
    ! osslsigncode verify -in "$f" >/dev/null 2>&1 || return 1
  done
}
check "the signatures verify with the certificate, and only with it" signatures
check "two MSIs, two zips and SHA256SUMS, whose sums match" \
  bash -c "cd '$dist' && [ \$(ls | wc -l) -eq 5 ] && sha256sum --quiet -c SHA256SUMS"

# Each MSI's registry rows against the registration's rows; x86 against x64; one version.
check "MSI rows equal the registration's rows; x86 differs only in its architecture's rows" \
  python3 - "$msi64" "$msi86" "$stage/x64/registry-rows.tsv" "$stage/x86/registry-rows.tsv" \
  "$version" "$stage/x64/Morvane.dll" <<'PY'
import subprocess, sys, struct
msi64, msi86, rows64, rows86, version, dll = sys.argv[1:7]
def msi_rows(msi):
    out = subprocess.run(["msiinfo", "export", msi, "Registry"], capture_output=True, text=True,
                         check=True).stdout.splitlines()[3:]
    rows = set()
    for line in out:
        _, root, key, name, value, _ = line.split("\t")
        assert root == "1", line  # HKEY_CURRENT_USER only
        rows.add((key, name, value))
    return rows
def table_rows(path):
    rows = set()
    for line in open(path, encoding="utf-8"):
        f = line.rstrip("\n").split("\t")
        if f[0] != "link":
            rows.add((f[0], f[1], ("#" + f[3]) if f[2] == "integer" else f[3]))
    return rows
def info(msi, what):
    return subprocess.run(["msiinfo", what, msi], capture_output=True, text=True,
                          check=True).stdout
ok = True
for msi, rows in ((msi64, rows64), (msi86, rows86)):
    if msi_rows(msi) != table_rows(rows):
        print("rows differ:", msi, msi_rows(msi) ^ table_rows(rows)); ok = False
arch = lambda row: "\\win64" in row[0] or "\\win32" in row[0] or "Wow6432Node" in row[0]
common64 = {r for r in msi_rows(msi64) if not arch(r)}
common86 = {r for r in msi_rows(msi86) if not arch(r)}
if common64 != common86 or not any(arch(r) for r in msi_rows(msi86)):
    print("x86 and x64 differ beyond the architecture's rows:", common64 ^ common86); ok = False
if "Template: Intel;1033" not in info(msi86, "suminfo") or "Template: x64;1033" not in info(msi64, "suminfo"):
    print("wrong templates"); ok = False
def table(msi, name, keep):
    lines = subprocess.run(["msiinfo", "export", msi, name], capture_output=True, text=True,
                           check=True).stdout.splitlines()[3:]
    return {tuple(line.split("\t")[i] for i in keep) for line in lines}
# The same files and properties (but the product code) in both; the version is the project's.
if table(msi64, "File", (0, 2)) != table(msi86, "File", (0, 2)):
    print("the packages hold different files"); ok = False
props64, props86 = (table(m, "Property", (0, 1)) for m in (msi64, msi86))
own = ("ProductCode", "ProductName")
if {p for p in props64 if p[0] not in own} != {p for p in props86 if p[0] not in own}:
    print("the packages' properties differ:", props64 ^ props86); ok = False
if ("ProductName", "Morvane (64-bit)") not in props64 or ("ProductName", "Morvane (32-bit)") not in props86:
    print("the product names do not name the bitness"); ok = False
if ("ProductVersion", version) not in props64:
    print("ProductVersion is not", version); ok = False
# The DLL's version resource (VS_FIXEDFILEINFO) carries the same version.
data = open(dll, "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD), data.find("VS_VERSION_INFO".encode("utf-16-le")))
ms, ls = struct.unpack("<II", data[at + 8:at + 16])
fixed = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"
if fixed != version:
    print("the DLL's file version is", fixed, "not", version); ok = False
sys.exit(0 if ok else 1)
PY

# Installs and removals in a fresh prefix of this display's own. make-dist has just used the old
# one: its wineserver, still running, would serve the new prefix the old registry (a package a
# failed run left installed, say), so it is ended first.
WINEPREFIX="$MORVANE_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$MORVANE_WINEPREFIX"
msiexec() { wine msiexec "$@" >/dev/null 2>&1; }
appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
install_dir="$(wine winepath -u "$appdata\\Morvane" 2>/dev/null | tr -d '\r')"
# Everything that names Morvane: its name and every GUID of its registration.
marks=$(python3 -c '
import re, sys
text = open(sys.argv[1]).read()
print("\n".join(sorted({"Morvane"} | set(re.findall(r"\{[0-9A-F-]{36}\}", text)) - {"{00020424-0000-0000-C000-000000000046}"})))' \
  "$stage/x64/registry-rows.tsv")
nothing_left() {
  WINEPREFIX="$MORVANE_WINEPREFIX" /usr/lib/wine/wineserver -w  # the registry is saved to its files
  local left
  left=$(grep -i -F -f <(printf '%s\n' "$marks") "$MORVANE_WINEPREFIX"/*.reg)
  if [ -n "$left" ] || [ -e "$install_dir" ]; then
    echo "left behind:"
    printf '%s\n' "$left" | head -20
    [ ! -e "$install_dir" ] || ls -la "$install_dir"
    return 1
  fi
}
# The Add/Remove Programs entries of Morvane, as "version publisher help-link name" lines.
# Windows lists a per-user product under HKEY_CURRENT_USER, Wine under HKEY_LOCAL_MACHINE (a
# 32-bit package's in its 32-bit view).
arp_entries() {
  local key
  for key in HKCU\\Software HKLM\\Software HKLM\\Software\\Wow6432Node; do
    wine reg query "$key\Microsoft\Windows\CurrentVersion\Uninstall" /s 2>/dev/null
  done | tr -d '\r' | awk '
      function flush() { if (n ~ /^Morvane/) print v, p, h, n; n = v = p = h = "" }
      /^HKEY/ { flush() }
      $1 == "DisplayName" { n = $0; sub(/^[ \t]*DisplayName[ \t]+REG_SZ[ \t]+/, "", n) }
      $1 == "DisplayVersion" { v = $3 } $1 == "Publisher" { p = $3 } $1 == "HelpLink" { h = $3 }
      END { flush() }'
}
entry() { printf '%s Morvane https://morvane.example/guide/ Morvane (%s-bit)' "$1" "$2"; }

check "the x64 MSI installs silently for the user" msiexec /i "$(windows_path "$msi64")" /qn
check "one Add/Remove Programs entry with version, publisher, help link and bitness" \
  test "$(arp_entries)" = "$(entry "$version" 64)"
check "Excel's registry path loads the installed add-in: convert, undo, its guide, exit" \
  env -u GTEST_OUTPUT "$root/cmake/wine64-run" "$root/build/win64/tests/e2e/morvane_e2e.exe" \
  "$root/tests/e2e/scenarios/ribbon_host.txt" --installed "$appdata\\Morvane\\Morvane.dll" \
  --name packaging_installed --quiet
check "the x64 MSI uninstalls silently" msiexec /x "$(windows_path "$msi64")" /qn
check "nothing of Morvane is left after uninstalling" nothing_left

# An older package, then this one: a major upgrade.
sed "s/Version=\"$version\"/Version=\"0.9.0\"/" "$stage/x64/Morvane.wxs" >"$stage/x64/Morvane-older.wxs"
wixl -a x64 -o "$work/Morvane-0.9.0-x64.msi" "$stage/x64/Morvane-older.wxs"
msiexec /i "$(windows_path "$work/Morvane-0.9.0-x64.msi")" /qn
older=$(arp_entries)
msiexec /i "$(windows_path "$msi64")" /qn
check "an older package, then the newer: one entry, the newer" \
  test "$older/$(arp_entries)" = "$(entry 0.9.0 64)/$(entry "$version" 64)"
msiexec /x "$(windows_path "$msi64")" /qn
check "nothing of Morvane is left after the upgrade's uninstall" nothing_left

# The x64 package, then the x86 one of the same version (the guide's advice after picking the
# wrong bitness): the second replaces the first, and Excel loads the 32-bit add-in from it.
msiexec /i "$(windows_path "$msi64")" /qn
msiexec /i "$(windows_path "$msi86")" /qn
check "x64 then x86 of one version: one entry, the x86 one" \
  test "$(arp_entries)" = "$(entry "$version" 32)"
harness32="$root/build/win32/tests/e2e/morvane_e2e.exe"
if [ -x /usr/lib/wine/wine ] && [ -f "$harness32" ]; then
  check "Excel's registry path loads the 32-bit add-in the x86 package installed" \
    env -u GTEST_OUTPUT "$root/cmake/wine64-run" "$harness32" \
    "$root/tests/e2e/scenarios/ribbon_host.txt" --installed "$appdata\\Morvane\\Morvane.dll" \
    --name packaging_installed_x86 --quiet
else
  echo "SKIPPED: the 32-bit add-in's load from the x86 package (no 32-bit Wine or no win32 build)"
fi
msiexec /x "$(windows_path "$msi86")" /qn
check "nothing of Morvane is left after removing the x86 package" nothing_left
WINEPREFIX="$MORVANE_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
[ ${#failures[@]} -eq 0 ]
