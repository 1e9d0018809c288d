#include "addin/com/registration.h"

#include <oleauto.h>

#include <algorithm>
#include <exception>
#include <ranges>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_error.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/identity.h"

// Per-user type library registration (Windows Vista and later). liboleaut32.a exports both, but
// mingw-w64's oleauto.h does not declare them.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* typeLib, OLECHAR* fullPath,
                                                 OLECHAR* helpDir);
extern "C" HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libId, WORD major, WORD minor, LCID lcid,
                                                   SYSKIND sysKind);

namespace morvane::com {
namespace {

// Registry functions answer with a Win32 error code, not an HRESULT: both are `long`, so the
// HRESULT Check would take one without complaint and call ERROR_ACCESS_DENIED a success.
void CheckWin32(LSTATUS status, const char* what) {
  if (status != ERROR_SUCCESS)
    throw ComError(HRESULT_FROM_WIN32(status), what);
}

class RegistryKey {
 public:
  static RegistryKey Create(const std::wstring& path) {
    RegistryKey key;
    CheckWin32(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE, nullptr, &key.key_, nullptr),
               "RegCreateKeyExW");
    return key;
  }
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_)
      RegCloseKey(key_);
  }

  void Set(const std::wstring& name, const std::variant<std::wstring, DWORD>& data) {
    if (const auto* text = std::get_if<std::wstring>(&data)) {
      const DWORD bytes = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
      CheckWin32(RegSetValueExW(key_, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text->c_str()), bytes),
                 "RegSetValueExW");
    } else {
      const DWORD number = std::get<DWORD>(data);
      CheckWin32(RegSetValueExW(key_, name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&number), sizeof number),
                 "RegSetValueExW");
    }
  }

 private:
  RegistryKey() = default;
  HKEY key_ = nullptr;
};

// The shared keys above the table's keys that registering had to create (a profile where no
// COM class or Excel add-in was ever registered lacks them). Kept as a value of the add-in's
// own ProgID key, so that unregistering, in another process, removes exactly those and leaves
// the registry as it was.
constexpr wchar_t kCreatedKeysValue[] = L"MorvaneCreatedParentKeys";
// Marks a recorded key of HKEY_CLASSES_ROOT; the others are under HKEY_CURRENT_USER.
constexpr wchar_t kClassesRootMark[] = L"HKCR\\";

std::wstring ProgIdKey() {
  return L"Software\\Classes\\" + std::wstring(kProgIdText);
}

std::vector<std::wstring> ReadCreatedKeys() {
  DWORD bytes = 0;
  const std::wstring key = ProgIdKey();
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kCreatedKeysValue, RRF_RT_REG_MULTI_SZ, nullptr,
                   nullptr, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kCreatedKeysValue, RRF_RT_REG_MULTI_SZ, nullptr,
                   data.data(), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<std::wstring> keys;
  for (const wchar_t* at = data.data(); *at; at += keys.back().size() + 1) {
    keys.emplace_back(at);
  }
  return keys;
}

// Creates every shared key above the table's keys and the type library's, and returns those
// that did not exist, added to the ones an earlier registration created.
std::vector<std::wstring> CreateParentKeys(const std::vector<RegistryRow>& table) {
  std::vector<std::wstring> created = ReadCreatedKeys();
  std::vector<std::wstring> leaves = {L"Software\\Classes\\TypeLib\\x",
                                      L"Software\\Classes\\Interface\\x"};
  for (const RegistryRow& row : table) {
    leaves.push_back(row.key);
  }
  auto owned = [&](const std::wstring& key) {
    return std::ranges::any_of(table, [&](const RegistryRow& row) { return row.key == key; });
  };
  for (const std::wstring& leaf : leaves) {
    for (std::size_t end = leaf.find(L'\\'); end != std::wstring::npos;
         end = leaf.find(L'\\', end + 1)) {
      const std::wstring parent = leaf.substr(0, end);
      if (owned(parent)) {
        break;
      }
      HKEY key = nullptr;
      DWORD disposition = 0;
      CheckWin32(RegCreateKeyExW(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &key, &disposition),
                 "RegCreateKeyExW");
      RegCloseKey(key);
      if (disposition == REG_CREATED_NEW_KEY &&
          std::ranges::find(created, parent) == created.end()) {
        created.push_back(parent);
      }
    }
  }
  return created;
}

void WriteCreatedKeys(const std::vector<std::wstring>& keys) {
  std::wstring data;
  for (const std::wstring& key : keys) {
    data += key;
    data += L'\0';
  }
  data += L'\0';
  HKEY key = nullptr;
  CheckWin32(RegCreateKeyExW(HKEY_CURRENT_USER, ProgIdKey().c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr),
             "RegCreateKeyExW");
  const LSTATUS status = RegSetValueExW(key, kCreatedKeysValue, 0, REG_MULTI_SZ,
                                        reinterpret_cast<const BYTE*>(data.data()),
                                        static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  RegCloseKey(key);
  CheckWin32(status, "RegSetValueExW");
}

// Deletes the recorded keys that hold nothing now, deepest first; a key something else has
// filled in the meantime stays.
void DeleteCreatedKeys(std::vector<std::wstring> keys) {
  std::ranges::sort(
      keys, [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  for (const std::wstring& entry : keys) {
    const bool classesRoot = std::wstring_view(entry).starts_with(kClassesRootMark);
    const HKEY root = classesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
    const std::wstring path = classesRoot ? entry.substr(std::size(kClassesRootMark) - 1) : entry;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      continue;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                            nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && subkeys == 0 && values == 0) {
      CheckWin32(RegDeleteKeyW(root, path.c_str()), "RegDeleteKeyW");
    }
  }
}

std::wstring Text(const GuidText& text) {
  return std::wstring(text.data());
}

void RegisterTypeLibrary(std::wstring_view modulePath) {
  std::wstring path(modulePath);
  ComPtr<ITypeLib> library;
  Check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), "LoadTypeLibEx");
  Check(RegisterTypeLibForUser(library.get(), path.data(), nullptr), "RegisterTypeLibForUser");
}

void UnregisterTypeLibrary() {
  // Asked first because the answer for a library that is not registered differs: Wine says
  // E_INVALIDARG, Windows a type library error. Not registered leaves nothing to remove.
  Bstr registeredPath;
  if (FAILED(
          QueryPathOfRegTypeLib(kLibId, kTypeLibMajor, kTypeLibMinor, 0, registeredPath.put()))) {
    return;
  }
  Check(UnRegisterTypeLibForUser(kLibId, kTypeLibMajor, kTypeLibMinor, 0, kTypeLibSysKind),
        "UnRegisterTypeLibForUser");
}

}  // namespace

std::vector<RegistryRow> RegistrationTable(std::wstring_view modulePath) {
  const std::wstring progId(kProgIdText);
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring progIdKey = classes + progId;
  const std::wstring classKey = classes + L"CLSID\\" + Text(kClsidConnectText);
  const std::wstring addInKey = L"Software\\Microsoft\\Office\\Excel\\Addins\\" + progId;
  return {
      {progIdKey, L"", progId},
      {progIdKey + L"\\CLSID", L"", Text(kClsidConnectText)},
      {classKey, L"", progId},
      {classKey + L"\\InprocServer32", L"", std::wstring(modulePath)},
      // Excel calls the add-in only from its user-interface thread, an STA.
      {classKey + L"\\InprocServer32", L"ThreadingModel", std::wstring(L"Apartment")},
      {classKey + L"\\ProgID", L"", progId},
      {classKey + L"\\TypeLib", L"", Text(kLibIdText)},
      {addInKey, L"FriendlyName", std::wstring(kFriendlyName)},
      {addInKey, L"Description", std::wstring(kAddInDescription)},
      // 3: load at start-up, connected.
      {addInKey, L"LoadBehavior", DWORD{3}},
      {addInKey, L"CommandLineSafe", DWORD{0}},
  };
}

void RegisterServer(std::wstring_view modulePath) {
  try {
    const std::vector<RegistryRow> table = RegistrationTable(modulePath);
    std::vector<std::wstring> created = CreateParentKeys(table);
    WriteCreatedKeys(created);
    for (const RegistryRow& row : table) {
      RegistryKey::Create(row.key).Set(row.name, row.data);
    }
    // Wine registers the type library under HKEY_CLASSES_ROOT itself, creating its parents
    // there on a bare profile.
    std::vector<std::wstring> classesParents;
    for (const wchar_t* parent : {L"TypeLib", L"Interface"}) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_CLASSES_ROOT, parent, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
      } else {
        classesParents.push_back(std::wstring(kClassesRootMark) + parent);
      }
    }
    RegisterTypeLibrary(modulePath);
    for (const std::wstring& parent : classesParents) {
      if (std::ranges::find(created, parent) == created.end())
        created.push_back(parent);
    }
    WriteCreatedKeys(created);
  } catch (...) {
    // Half a registration would make Excel try to load an add-in it cannot create.
    try {
      UnregisterServer(modulePath);
    } catch (...) {
    }
    throw;
  }
}

void UnregisterServer(std::wstring_view modulePath) {
  // Every part is attempted, so that one failure leaves as little behind as possible; the first
  // failure is the one reported.
  std::exception_ptr firstFailure;
  auto attempt = [&](auto&& step) {
    try {
      step();
    } catch (...) {
      if (!firstFailure)
        firstFailure = std::current_exception();
    }
  };
  std::vector<std::wstring> createdKeys;
  attempt([&] { createdKeys = ReadCreatedKeys(); });
  attempt(UnregisterTypeLibrary);
  const std::vector<RegistryRow> rows = RegistrationTable(modulePath);
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    attempt([&] {
      // The key goes with whatever lies under it: it is the add-in's own.
      const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, row->key.c_str());
      // Gone already: an earlier row named the same key, or an earlier run removed it.
      if (status != ERROR_FILE_NOT_FOUND)
        CheckWin32(status, "RegDeleteTreeW");
    });
  }
  attempt([&] { DeleteCreatedKeys(createdKeys); });
  if (firstFailure)
    std::rethrow_exception(firstFailure);
}

}  // namespace morvane::com
