#!/usr/bin/env python3
"""Makes a package replace an installed Morvane of its own version too.

    same-version-upgrade.py <package.msi>

Both bitnesses of one version share the upgrade code, the install folder and the registry keys,
so installing the other bitness's package of the same version must remove the first, or the
user is left with two entries that break each other when either is removed. wixl writes the
major upgrade's Upgrade row with the version as an exclusive maximum and does not know WiX's
AllowSameVersionUpgrades, so the row gets the inclusive-maximum attribute here. A package's
installing the very same package again is a maintenance of the installed product, as before.
"""
import os
import subprocess
import sys
import tempfile

VERSION_MAX_INCLUSIVE = 0x200  # msidbUpgradeAttributesVersionMaxInclusive
UPGRADE_PROPERTY = "WIX_UPGRADE_DETECTED"


def main():
    msi = os.path.abspath(sys.argv[1])
    table = subprocess.run(["msiinfo", "export", msi, "Upgrade"], capture_output=True,
                           text=True, check=True).stdout.splitlines()
    header, rows = table[:3], [row for row in table[3:] if row]
    changed = 0
    for i, row in enumerate(rows):
        fields = row.split("\t")  # UpgradeCode VersionMin VersionMax Language Attributes ...
        if fields[6] == UPGRADE_PROPERTY and fields[2]:
            fields[4] = str(int(fields[4]) | VERSION_MAX_INCLUSIVE)
            rows[i] = "\t".join(fields)
            changed += 1
    if changed != 1:
        sys.exit(f"same-version-upgrade: {msi} has {changed} upgrade rows with a maximum, not one")
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "Upgrade.idt"), "w", newline="") as out:
            out.write("\r\n".join(header + rows) + "\r\n")
        subprocess.run(["msibuild", msi, "-i", "Upgrade.idt"], cwd=folder, check=True)


if __name__ == "__main__":
    main()
