#!/usr/bin/env python3
"""Writes the WiX source of one per-user Morvane package for wixl.

    wxs.py <registry rows> <arch x64|x86> <version> > <staged folder>/Morvane.wxs

wixl finds the files named here beside the .wxs file: the DLL, the ribbon markup, the guide.

The registry rows are morvane_registry_rows's output for the package's DLL with the install
folder "[INSTALLDIR]": every value the DLL's own registration writes, so the package and
regsvr32 cannot drift apart. wixl can neither self-register nor write <Class>/<TypeLib>, so
they become plain registry values. Everything lives in one component whose key path is a value
under HKEY_CURRENT_USER, as a per-user component in the user's profile needs; uninstalling
removes the files, the folder and every value (and with them the keys they leave empty).
"""
import sys
import uuid
from xml.sax.saxutils import quoteattr

# One upgrade code for both architectures: a user has one Morvane, and installing either
# package replaces whichever was there (the add-in key it writes is shared by both), of the same
# version too (packaging/same-version-upgrade.py).
UPGRADE_CODE = "5C7A3B0E-6C1D-4E0B-9B7E-2F4D1C8A9E31"
# Component codes must stay the same across versions for the same resources.
NAMESPACE = uuid.UUID("0B7F2D5A-8E4C-4C3B-A1D2-6E9F0A1B2C3D")
FILES = ("Morvane.dll", "MorvaneRibbon.xml", "MorvaneGuide.html", "LICENSE.txt")


def read_rows(path):
    registry, links = [], {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t")
            if fields[0] == "link":
                links[fields[1]] = fields[2]
            else:
                registry.append(tuple(fields))
    return registry, links


def main():
    rows_path, arch, version = sys.argv[1:4]
    registry, links = read_rows(rows_path)
    a = quoteattr
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="utf-8"?>')
    w('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">')
    bits = "64" if arch == "x64" else "32"
    # The name Add/Remove Programs shows says which bitness is installed.
    w(f'  <Product Id="*" Name={a("Morvane (" + bits + "-bit)")} Language="1033"'
      f' Version={a(version)} Manufacturer="Morvane" UpgradeCode="{UPGRADE_CODE}">')
    w(f'    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"'
      f' Description={a("Morvane " + version + " for " + bits + "-bit Excel")} />')
    w('    <MajorUpgrade DowngradeErrorMessage="A newer version of Morvane is already installed." />')
    w('    <Media Id="1" Cabinet="morvane.cab" EmbedCab="yes" />')
    w(f'    <Property Id="ARPHELPLINK" Value={a(links["help"])} />')
    w(f'    <Property Id="ARPURLINFOABOUT" Value={a(links["about"])} />')
    w('    <Property Id="ARPNOMODIFY" Value="1" />')
    w('    <Directory Id="TARGETDIR" Name="SourceDir">')
    w('      <Directory Id="LocalAppDataFolder">')
    w('        <Directory Id="INSTALLDIR" Name="Morvane">')
    component = uuid.uuid5(NAMESPACE, "morvane-" + arch)
    w(f'          <Component Id="Morvane" Guid="{str(component).upper()}"'
      f' Win64={a("yes" if arch == "x64" else "no")}>')
    for name in FILES:
        ident = name.replace(".", "_")
        w(f'            <File Id={a(ident)} Name={a(name)} Source={a(name)} KeyPath="no" />')
    # The add-in entry's FriendlyName is the key path: it exists exactly while Morvane is
    # installed, and it is one of the registration's own values.
    for key, name, kind, value in registry:
        keypath = ' KeyPath="yes"' if name == "FriendlyName" else ""
        named = f" Name={a(name)}" if name else ""
        w(f'            <RegistryValue Root="HKCU" Key={a(key)}{named} Type={a(kind)}'
          f' Value={a(value)}{keypath} />')
    w('            <RemoveFolder Id="RemoveInstallDir" On="uninstall" />')
    w('          </Component>')
    w('        </Directory>')
    w('      </Directory>')
    w('    </Directory>')
    w('    <Feature Id="Morvane" Title="Morvane" Level="1">')
    w('      <ComponentRef Id="Morvane" />')
    w('    </Feature>')
    w('  </Product>')
    w('</Wix>')
    print("\n".join(out))


if __name__ == "__main__":
    main()
