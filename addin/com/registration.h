#pragma once

// The add-in's registration for the current user, as one table that both registering and
// unregistering walk. No administrator rights are needed: everything goes under
// HKEY_CURRENT_USER (COM merges HKCU\Software\Classes into HKEY_CLASSES_ROOT).

#include <windows.h>

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace morvane::com {

struct RegistryRow {
  std::wstring key;   // under HKEY_CURRENT_USER
  std::wstring name;  // empty: the key's default value
  std::variant<std::wstring, DWORD> data;

  friend bool operator==(const RegistryRow&, const RegistryRow&) = default;
};

// Every key and value DllRegisterServer writes, in the order it writes them. Each key in it
// belongs to the add-in alone (its ProgID, its class, its Excel add-in entry); the keys above
// them are shared and never appear.
std::vector<RegistryRow> RegistrationTable(std::wstring_view modulePath);

// Writes the table and registers the type library found in the module's resources, for the
// current user. Running it again rewrites the same values. On a failure it removes what it
// wrote and throws ComError.
void RegisterServer(std::wstring_view modulePath);

// Removes the type library's registration and every key of the table, deepest first. Keys that
// are already gone are no failure, so it can run any number of times.
void UnregisterServer(std::wstring_view modulePath);

}  // namespace morvane::com
