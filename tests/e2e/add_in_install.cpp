#include "tests/e2e/add_in_install.h"

#include <shlobj.h>

#include <cstdio>

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

// What the add-in's registration must say to Excel.
const wchar_t* const kProgId = L"Morvane.Connect";
const wchar_t* const kFriendlyName = L"Morvane";
const wchar_t* const kDescription = L"Add-In Project Template";
constexpr DWORD kLoadAtStartup = 3;
constexpr DWORD kProgramLimitMs = 30000;

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// GetProcAddress's result as the function it is (through void*, which g++ allows quietly).
template <class Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring GuidString(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
  return n == 0 || n >= MAX_PATH ? path : std::wstring(buffer, n);
}

// The folder and everything in it.
void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder + L'\0';
  SHFILEOPSTRUCTW remove{};
  remove.wFunc = FO_DELETE;
  remove.pFrom = from.c_str();
  remove.fFlags = FOF_NO_UI;
  SHFileOperationW(&remove);
}

// An empty folder. Wine soon gives a process id again, and a run ended by force left its folder
// behind: its markup file or its record of opened pages must not speak for this run.
std::wstring NewFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"morvane-e2e-" + std::to_wstring(GetCurrentProcessId());
  RemoveTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace

AddInInstall::AddInInstall(const std::wstring& builtDll, const std::wstring& ribbonSource,
                           std::vector<std::string>& failures, bool installed)
    : failures_(failures),
      folder_(NewFolder()),
      dllPath_(installed ? FullPath(builtDll) : folder_ + L"\\Morvane.dll"),
      installed_(installed) {
  if (installed) {
    return;
  }
  if (!CopyFileW(builtDll.c_str(), dllPath_.c_str(), FALSE)) {
    Fail("cannot copy " + Utf8FromWide(builtDll) + " to the install folder");
  }
  if (!ribbonSource.empty() &&
      !CopyFileW(ribbonSource.c_str(), (folder_ + L"\\MorvaneRibbon.xml").c_str(), FALSE)) {
    Fail("cannot copy the ribbon markup " + Utf8FromWide(ribbonSource));
  }
}

AddInInstall::~AddInInstall() {
  if (module_ != nullptr) {
    FreeLibrary(module_);
  }
  // With what the add-in may have created in it (an empty markup file).
  RemoveTree(folder_);
}

void AddInInstall::Fail(const std::string& what) {
  failures_.push_back(what);
}

bool AddInInstall::Register() {
  const std::wstring addIn =
      std::wstring(L"Software\\Microsoft\\Office\\Excel\\Addins\\") + kProgId;
  if (installed_) {
    return Check(addIn);
  }
  // A run that was ended by force left its registration: take it away before judging this one.
  if (KeyExists(HKEY_CURRENT_USER, addIn)) {
    std::fprintf(stdout, "note: removing the registration an earlier run left\n");
    RunProgram(L"regsvr32.exe /s /u \"" + dllPath_ + L"\"", kProgramLimitMs);
  }
  officeKeys_ = std::make_unique<OfficeKeys>();
  before_ = std::make_unique<RegistrySnapshot>(RegistrySnapshot::Take());
  const int code = RunProgram(L"regsvr32.exe /s \"" + dllPath_ + L"\"", kProgramLimitMs);
  registered_ = true;
  if (code != 0) {
    Fail("regsvr32 failed with exit code " + std::to_string(code));
    return false;
  }
  return Check(addIn);
}

bool AddInInstall::Check(const std::wstring& addIn) {
  // Excel's list of COM add-ins for the user.
  if (!KeyExists(HKEY_CURRENT_USER, addIn)) {
    Fail("no Excel add-in entry HKCU\\" + Utf8FromWide(addIn));
    return false;
  }
  progId_ = kProgId;
  if (ReadText(HKEY_CURRENT_USER, addIn, L"FriendlyName") != kFriendlyName) {
    Fail("the add-in entry's FriendlyName is not \"Morvane\"");
  }
  if (ReadText(HKEY_CURRENT_USER, addIn, L"Description") != kDescription) {
    Fail("the add-in entry's Description is not \"Add-In Project Template\"");
  }
  if (ReadNumber(HKEY_CURRENT_USER, addIn, L"CommandLineSafe") != DWORD{0}) {
    Fail("the add-in entry's CommandLineSafe is not the number 0");
  }
  if (ReadNumber(HKEY_CURRENT_USER, addIn, L"LoadBehavior") != kLoadAtStartup) {
    Fail("LoadBehavior is not the number 3: Excel would not load the add-in at start-up");
    return false;
  }

  // ProgID -> CLSID -> the in-process server, as COM finds them in the merged classes view.
  const auto clsidText = ReadClassesText(progId_ + L"\\CLSID", nullptr);
  if (!clsidText || FAILED(CLSIDFromString(clsidText->c_str(), &clsid_))) {
    Fail("the ProgID Morvane.Connect names no class");
    return false;
  }
  const auto server = ReadClassesText(L"CLSID\\" + *clsidText + L"\\InprocServer32", nullptr);
  if (!server) {
    Fail("the class " + Utf8FromWide(*clsidText) + " has no InprocServer32");
    return false;
  }
  serverPath_ = *server;
  if (_wcsicmp(FullPath(serverPath_).c_str(), FullPath(dllPath_).c_str()) != 0) {
    Fail("InprocServer32 names " + Utf8FromWide(serverPath_) + ", not the installed DLL");
  }

  // The type library Morvane 1.0, registered so that others find it by its LIBID.
  ITypeLib* embedded = nullptr;
  if (FAILED(LoadTypeLibEx(dllPath_.c_str(), REGKIND_NONE, &embedded))) {
    Fail("the DLL holds no type library");
    return true;
  }
  TLIBATTR* attributes = nullptr;
  embedded->GetLibAttr(&attributes);
  const GUID libId = attributes->guid;
  embedded->ReleaseTLibAttr(attributes);
  embedded->Release();
  if (installed_) {
    // An installer writes the per-user keys that Windows' per-user registration writes, which
    // Wine 8 does not merge into HKEY_CLASSES_ROOT (see Create): read them where they are.
    const auto path = ReadClassesText(L"TypeLib\\" + GuidString(libId) + L"\\1.0\\0\\" +
                                          (sizeof(void*) == 8 ? L"win64" : L"win32"),
                                      nullptr);
    if (!path || _wcsicmp(FullPath(*path).c_str(), dllPath_.c_str()) != 0) {
      Fail("the type library 1.0 is not registered at the installed DLL");
    }
    return true;
  }
  ITypeLib* registeredLib = nullptr;
  if (FAILED(LoadRegTypeLib(libId, 1, 0, 0, &registeredLib))) {
    Fail("the type library is not registered as version 1.0, locale 0");
    return true;
  }
  BSTR name = nullptr;
  registeredLib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
  if (name == nullptr || std::wstring(name) != L"Morvane") {
    Fail("the registered type library is not named Morvane");
  }
  SysFreeString(name);
  registeredLib->Release();
  return true;
}

com::ComPtr<IUnknown> AddInInstall::Create() {
  com::ComPtr<IUnknown> instance;
  // Wine 8 does not merge the user's classes into HKCR, so CoCreateInstance cannot find a
  // per-user class (bug 14771): do what COM does for an in-process server instead, from the
  // path the registration gave.
  module_ = LoadLibraryExW(serverPath_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module_ == nullptr) {
    Fail("cannot load " + Utf8FromWide(serverPath_));
    return instance;
  }
  const auto getClassObject = Export<GetClassObjectFn>(module_, "DllGetClassObject");
  if (getClassObject == nullptr) {
    Fail("the DLL does not export DllGetClassObject");
    return instance;
  }
  com::ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject(clsid_, IID_IClassFactory, factory.put_void());
  if (FAILED(hr)) {
    Fail("DllGetClassObject failed with " + Hex(hr));
    return instance;
  }
  hr = factory->CreateInstance(nullptr, IID_IUnknown, instance.put_void());
  if (FAILED(hr)) {
    Fail("creating Morvane.Connect failed with " + Hex(hr));
  }
  return instance;
}

void AddInInstall::Unload() {
  if (module_ == nullptr) {
    return;
  }
  const auto canUnloadNow = Export<CanUnloadNowFn>(module_, "DllCanUnloadNow");
  if (canUnloadNow == nullptr) {
    Fail("the DLL does not export DllCanUnloadNow");
  } else if (const HRESULT hr = canUnloadNow(); hr != S_OK) {
    Fail("DllCanUnloadNow answered " + Hex(hr) + " after every reference was released");
  }
  // The add-in keeps itself loaded once its class object was asked for (the thread runtime it
  // links leaks at every unload): COM's FreeLibrary leaves it mapped, ready for a reload.
  FreeLibrary(std::exchange(module_, nullptr));
  if (GetModuleHandleW(dllPath_.c_str()) == nullptr) {
    Fail("the DLL unloaded: it should keep itself loaded");
  }
}

void AddInInstall::Unregister() {
  if (!registered_ || installed_) {
    return;
  }
  registered_ = false;
  const int code = RunProgram(L"regsvr32.exe /s /u \"" + dllPath_ + L"\"", kProgramLimitMs);
  if (code != 0) {
    Fail("regsvr32 /u failed with exit code " + std::to_string(code));
  }
  for (const std::string& change : before_->ChangesIn(RegistrySnapshot::Take())) {
    Fail("unregistration " + change);
  }
  for (const std::string& damage : officeKeys_->Damaged()) {
    Fail("unregistration " + damage);
  }
  officeKeys_.reset();
}

}  // namespace morvane::e2e
