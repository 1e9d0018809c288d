#include "addin/com/registration.h"

#include <oleauto.h>

#include <exception>
#include <ranges>

#include "addin/com/bstr.h"
#include "addin/com/com_error.h"
#include "addin/com/com_ptr.h"
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
    for (const RegistryRow& row : RegistrationTable(modulePath)) {
      RegistryKey::Create(row.key).Set(row.name, row.data);
    }
    RegisterTypeLibrary(modulePath);
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
  attempt(UnregisterTypeLibrary);
  for (const RegistryRow& row : RegistrationTable(modulePath) | std::views::reverse) {
    attempt([&] {
      // The key goes with whatever lies under it: it is the add-in's own.
      const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, row.key.c_str());
      // Gone already: an earlier row named the same key, or an earlier run removed it.
      if (status != ERROR_FILE_NOT_FOUND)
        CheckWin32(status, "RegDeleteTreeW");
    });
  }
  if (firstFailure)
    std::rethrow_exception(firstFailure);
}

}  // namespace morvane::com
