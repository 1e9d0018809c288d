#pragma once

// The registry as the harness reads it: values the way Excel's loader reads them, and name
// snapshots of the keys a registration could touch, to prove an unregistration left nothing.

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace morvane::e2e {

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* value);
std::optional<DWORD> ReadNumber(HKEY root, const std::wstring& key, const wchar_t* value);
bool KeyExists(HKEY root, const std::wstring& key);
std::set<std::wstring> SubkeyNames(HKEY root, const std::wstring& key);

// The classes view Windows merges for HKCR: the user's own key first, then the machine's.
// (Wine 8 does not merge them, so the harness reads both itself.)
std::optional<std::wstring> ReadClassesText(const std::wstring& key, const wchar_t* value);

// Subkey names of every key a COM registration writes under, per user and per machine.
class RegistrySnapshot {
 public:
  static RegistrySnapshot Take();
  // What `later` has that this one had not, and what it lost, one line each.
  std::vector<std::string> ChangesIn(const RegistrySnapshot& later) const;

 private:
  std::map<std::wstring, std::set<std::wstring>> names_;
};

// The keys a Windows machine with Excel has before any add-in is registered: the user's COM
// class containers, the Excel Addins key and Office's own interface registrations. Seeded
// where missing, so that an unregistration is judged by what it leaves of its own and an
// unregistration that deletes what it does not own is caught; removed again afterwards.
class OfficeKeys {
 public:
  OfficeKeys();
  ~OfficeKeys();
  OfficeKeys(const OfficeKeys&) = delete;
  OfficeKeys& operator=(const OfficeKeys&) = delete;

  // Each seeded key or value that is gone or changed, one line each.
  std::vector<std::string> Damaged() const;

 private:
  std::vector<std::pair<HKEY, std::wstring>> createdTrees_;
  std::vector<std::wstring> createdContainers_;  // per user, removed only while empty
};

// Starts a program and waits for it; its exit code, or -1 when it could not start or ran past
// `limitMs` (it is then ended).
int RunProgram(const std::wstring& commandLine, DWORD limitMs);

}  // namespace morvane::e2e
