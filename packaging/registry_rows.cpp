// Prints the per-user registry data that registering Morvane.dll writes, for the installers,
// which cannot run the DLL's own registration: the DLL's registration table itself, then what
// per-user type-library registration adds. RegisterTypeLibForUser writes what RegisterTypeLib
// writes, under HKEY_CURRENT_USER\Software\Classes instead of HKEY_CLASSES_ROOT.
//
//   morvane_registry_rows <Morvane.dll> <install folder>
//
// The DLL is only read (for its type library), so an x86_64 build can list an i686 DLL. The
// install folder ends in a backslash and may be an installer's folder property ("[INSTALLDIR]").
// One line per value, all under HKEY_CURRENT_USER: "key<TAB>name<TAB>string|integer<TAB>value"
// (an empty name is the key's default value), then "link<TAB>help|about<TAB>address".

#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "about/web_addresses.h"
#include "addin/com/base/bstr.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/registration.h"
#include "addin/model/utf8.h"
#include "addin/win32/wide_text.h"

namespace {

using morvane::com::RegistryRow;

// Dual and [oleautomation] interfaces are marshalled by the Automation marshaler; plain
// dispinterfaces by the IDispatch proxy.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kDispatchProxy[] = L"{00020420-0000-0000-C000-000000000046}";

std::wstring GuidString(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring Hex(unsigned value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%x", value);
  return text;
}

std::wstring Text(BSTR text) {
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

// The keys RegisterTypeLib writes for a library at `modulePath`: the library's version key, its
// path for the library's platform, FLAGS and HELPDIR, and an Interface key for each dual,
// [oleautomation] or dispatch interface in it. A 64-bit library's interfaces also go into the
// 32-bit view, as the 64-bit registration does.
std::vector<RegistryRow> TypeLibraryRows(ITypeLib* library, const std::wstring& modulePath,
                                         const std::wstring& helpDir) {
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes)))
    throw std::runtime_error("the type library has no attributes");
  const TLIBATTR lib = *attributes;
  library->ReleaseTLibAttr(attributes);

  const std::wstring libId = GuidString(lib.guid);
  const std::wstring version = Hex(lib.wMajorVerNum) + L"." + Hex(lib.wMinorVerNum);
  const std::wstring libKey = L"Software\\Classes\\TypeLib\\" + libId + L"\\" + version;
  const wchar_t* platform = lib.syskind == SYS_WIN64 ? L"win64" : L"win32";
  morvane::com::Bstr name, doc;
  library->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr);
  const std::wstring title = doc.get() ? Text(doc.get()) : Text(name.get());

  std::vector<RegistryRow> rows = {
      {libKey, L"", title},
      {libKey + L"\\" + Hex(lib.lcid) + L"\\" + platform, L"", modulePath},
      {libKey + L"\\FLAGS", L"", std::to_wstring(lib.wLibFlags)},
      {libKey + L"\\HELPDIR", L"", helpDir},
  };
  std::vector<std::wstring> views = {L"Software\\Classes\\Interface\\"};
  if (lib.syskind == SYS_WIN64)
    views.push_back(L"Software\\Classes\\Wow6432Node\\Interface\\");
  for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
    morvane::com::ComPtr<ITypeInfo> info;
    TYPEATTR* type = nullptr;
    if (FAILED(library->GetTypeInfo(index, info.put())) || FAILED(info->GetTypeAttr(&type)))
      throw std::runtime_error("a type of the library cannot be read");
    const bool registered =
        type->typekind == TKIND_DISPATCH ||
        (type->typekind == TKIND_INTERFACE && (type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION));
    const bool automation =
        type->typekind == TKIND_INTERFACE || (type->wTypeFlags & TYPEFLAG_FDUAL);
    const std::wstring iid = GuidString(type->guid);
    info->ReleaseTypeAttr(type);
    if (!registered)
      continue;
    morvane::com::Bstr typeName;
    library->GetDocumentation(static_cast<INT>(index), typeName.put(), nullptr, nullptr, nullptr);
    const std::wstring proxy = automation ? kAutomationProxy : kDispatchProxy;
    for (const std::wstring& view : views) {
      const std::wstring key = view + iid;
      rows.push_back({key, L"", Text(typeName.get())});
      rows.push_back({key + L"\\ProxyStubClsid", L"", proxy});
      rows.push_back({key + L"\\ProxyStubClsid32", L"", proxy});
      rows.push_back({key + L"\\TypeLib", L"", libId});
      rows.push_back({key + L"\\TypeLib", L"Version", version});
    }
  }
  return rows;
}

std::string Utf8(std::wstring_view text) {
  return morvane::win32::Utf8FromWide(text);
}

std::string Utf8(std::u16string_view text) {
  return morvane::Utf16ToUtf8(text);
}

void Print(const RegistryRow& row) {
  std::string type = "string";
  std::wstring value;
  if (const auto* text = std::get_if<std::wstring>(&row.data)) {
    value = *text;
  } else {
    type = "integer";
    value = std::to_wstring(std::get<DWORD>(row.data));
  }
  std::printf("%s\t%s\t%s\t%s\n", Utf8(row.key).c_str(), Utf8(row.name).c_str(), type.c_str(),
              Utf8(value).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: morvane_registry_rows <Morvane.dll> <install folder>\n");
    return 2;
  }
  const std::wstring folder = argv[2];
  const std::wstring modulePath = folder + L"Morvane.dll";
  // HELPDIR is the folder without its last backslash, unless it is an installer's property,
  // which ends in one that formatting cannot take away.
  std::wstring helpDir = folder;
  if (helpDir.size() > 1 && helpDir.back() == L'\\')
    helpDir.pop_back();
  if (folder.starts_with(L"["))
    helpDir = folder;
  try {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    morvane::com::ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(argv[1], REGKIND_NONE, library.put())))
      throw std::runtime_error("no type library in the DLL");
    std::vector<RegistryRow> rows = morvane::com::RegistrationTable(modulePath);
    for (const RegistryRow& row : TypeLibraryRows(library.get(), modulePath, helpDir))
      rows.push_back(row);
    for (const RegistryRow& row : rows)
      Print(row);
    std::printf("link\thelp\t%s\n", Utf8(morvane::about::kUserGuidePage).c_str());
    std::printf("link\tabout\t%s\n", Utf8(morvane::about::kHomePage).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvane_registry_rows: %s\n", error.what());
    return 1;
  }
  return 0;
}
