#include "tests/e2e/registry_view.h"

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

const wchar_t* const kOfficeTypeLib = L"{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}";
const wchar_t* const kAddinDesignerTypeLib = L"{AC0714F2-3D04-11D1-AE7D-00A0C90F26F4}";
const wchar_t* const kAutomationProxy = L"{00020424-0000-0000-C000-000000000046}";

struct SeededInterface {
  const wchar_t* iid;
  const wchar_t* name;
  const wchar_t* typeLib;
};

// Office's interfaces an add-in implements or sinks: an unregistration must leave them alone.
const SeededInterface kOfficeInterfaces[] = {
    {L"{000C0396-0000-0000-C000-000000000046}", L"IRibbonExtensibility", kOfficeTypeLib},
    {L"{000C0395-0000-0000-C000-000000000046}", L"IRibbonControl", kOfficeTypeLib},
    {L"{000C0351-0000-0000-C000-000000000046}", L"_CommandBarButtonEvents", kOfficeTypeLib},
    {L"{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}", L"_IDTExtensibility2", kAddinDesignerTypeLib},
};

const wchar_t* const kExcelAddinsKey = L"Software\\Microsoft\\Office\\Excel\\Addins";
const wchar_t* const kUserContainers[] = {
    L"Software\\Classes\\CLSID", L"Software\\Classes\\TypeLib", L"Software\\Classes\\Interface"};

bool CreateKey(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

std::wstring InterfaceKey(const SeededInterface& seeded) {
  return std::wstring(L"Software\\Classes\\Interface\\") + seeded.iid;
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& data) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(handle, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

std::string RootName(HKEY root) {
  return root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\";
}

// The keys a registration writes under; their subkey names are compared before and after.
const std::pair<HKEY, const wchar_t*> kWatched[] = {
    {HKEY_CURRENT_USER, L"Software\\Classes"},
    {HKEY_CURRENT_USER, L"Software\\Classes\\CLSID"},
    {HKEY_CURRENT_USER, L"Software\\Classes\\TypeLib"},
    {HKEY_CURRENT_USER, L"Software\\Classes\\Interface"},
    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Excel\\Addins"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes\\TypeLib"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes\\Interface"},
};

}  // namespace

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& key, const wchar_t* value) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, &type, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring out(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(out.size() * sizeof(wchar_t));
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, &type, out.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  out.resize(wcsnlen(out.c_str(), out.size()));
  return out;
}

std::optional<DWORD> ReadNumber(HKEY root, const std::wstring& key, const wchar_t* value) {
  DWORD data = 0;
  DWORD bytes = sizeof data;
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &data, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

std::set<std::wstring> SubkeyNames(HKEY root, const std::wstring& key) {
  std::set<std::wstring> names;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return names;
  }
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.insert(std::wstring(name, length));
  }
  RegCloseKey(handle);
  return names;
}

std::optional<std::wstring> ReadClassesText(const std::wstring& key, const wchar_t* value) {
  const std::wstring classes = L"Software\\Classes\\" + key;
  if (auto user = ReadText(HKEY_CURRENT_USER, classes, value)) {
    return user;
  }
  return ReadText(HKEY_LOCAL_MACHINE, classes, value);
}

RegistrySnapshot RegistrySnapshot::Take() {
  RegistrySnapshot snapshot;
  for (const auto& [root, key] : kWatched) {
    snapshot.names_[WideFromUtf8(RootName(root)) + key] = SubkeyNames(root, key);
  }
  return snapshot;
}

std::vector<std::string> RegistrySnapshot::ChangesIn(const RegistrySnapshot& later) const {
  std::vector<std::string> changes;
  for (const auto& [key, before] : names_) {
    const auto& after = later.names_.at(key);
    for (const std::wstring& name : after) {
      if (!before.contains(name)) {
        changes.push_back("left behind: " + Utf8FromWide(key + L"\\" + name));
      }
    }
    for (const std::wstring& name : before) {
      if (!after.contains(name)) {
        changes.push_back("removed: " + Utf8FromWide(key + L"\\" + name));
      }
    }
  }
  return changes;
}

OfficeKeys::OfficeKeys() {
  for (const wchar_t* container : kUserContainers) {
    if (!KeyExists(HKEY_CURRENT_USER, container) && CreateKey(HKEY_CURRENT_USER, container)) {
      createdContainers_.push_back(container);
    }
  }
  if (!KeyExists(HKEY_CURRENT_USER, kExcelAddinsKey) &&
      CreateKey(HKEY_CURRENT_USER, kExcelAddinsKey)) {
    createdTrees_.emplace_back(HKEY_CURRENT_USER, kExcelAddinsKey);
  }
  for (const SeededInterface& seeded : kOfficeInterfaces) {
    const std::wstring key = InterfaceKey(seeded);
    if (KeyExists(HKEY_LOCAL_MACHINE, key)) {
      continue;
    }
    SetText(HKEY_LOCAL_MACHINE, key, nullptr, seeded.name);
    SetText(HKEY_LOCAL_MACHINE, key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy);
    SetText(HKEY_LOCAL_MACHINE, key + L"\\TypeLib", nullptr, seeded.typeLib);
    createdTrees_.emplace_back(HKEY_LOCAL_MACHINE, key);
  }
}

OfficeKeys::~OfficeKeys() {
  for (const auto& [root, key] : createdTrees_) {
    RegDeleteTreeW(root, key.c_str());
    RegDeleteKeyW(root, key.c_str());
  }
  for (const std::wstring& container : createdContainers_) {
    RegDeleteKeyW(HKEY_CURRENT_USER, container.c_str());  // fails, as it should, unless empty
  }
}

std::vector<std::string> OfficeKeys::Damaged() const {
  std::vector<std::string> damaged;
  if (!KeyExists(HKEY_CURRENT_USER, kExcelAddinsKey)) {
    damaged.push_back("removed Excel's own key HKCU\\" + Utf8FromWide(kExcelAddinsKey));
  }
  for (const SeededInterface& seeded : kOfficeInterfaces) {
    const std::wstring key = InterfaceKey(seeded);
    if (ReadText(HKEY_LOCAL_MACHINE, key + L"\\TypeLib", nullptr) != seeded.typeLib ||
        ReadText(HKEY_LOCAL_MACHINE, key + L"\\ProxyStubClsid32", nullptr) != kAutomationProxy) {
      damaged.push_back("changed or removed Office's registration of " + Utf8FromWide(seeded.name));
    }
  }
  return damaged;
}

int RunProgram(const std::wstring& commandLine, DWORD limitMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace morvane::e2e
