// DllRegisterServer and DllUnregisterServer of the built DLL, checked against the same table
// they walk. HKEY_CURRENT_USER and HKEY_CLASSES_ROOT are redirected to scratch keys for the
// duration, so the test sees every key the DLL writes (Wine registers the type library under
// HKEY_CLASSES_ROOT, Windows under HKEY_CURRENT_USER) and leaves the real registry alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "addin/com/base/bstr.h"
#include "addin/com/identity.h"
#include "addin/com/registration.h"
#include "addin/win32/wide_text.h"
#include "com/morvane_dll.h"

namespace morvane::com {
namespace {

using testing_dll::MorvaneDll;

const std::wstring kScratch = L"Software\\Morvane tests\\registration";

// Deletes a key of the real HKEY_CURRENT_USER with everything under it.
void DeleteScratch() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kScratch.c_str());
}

HKEY CreateKey(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  EXPECT_EQ(
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  return key;
}

// Every key and value name under root\path, recursively, as "key" and "key : value" lines.
void Dump(HKEY root, const std::wstring& path, std::set<std::wstring>& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  lines.insert(path);
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    lines.insert(path + L" : " + name);
  }
  std::vector<std::wstring> subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    subkeys.push_back(path.empty() ? name : path + L"\\" + name);
  }
  RegCloseKey(key);
  for (const std::wstring& subkey : subkeys)
    Dump(root, subkey, lines);
}

std::set<std::wstring> DumpBoth() {
  std::set<std::wstring> lines;
  std::set<std::wstring> classes;
  Dump(HKEY_CURRENT_USER, L"", lines);
  Dump(HKEY_CLASSES_ROOT, L"", classes);
  for (const std::wstring& line : classes)
    lines.insert(L"HKCR\\" + line);
  return lines;
}

// The value as the registry holds it: its type and its data.
struct StoredValue {
  DWORD type = REG_NONE;
  std::variant<std::wstring, DWORD> data;
};

std::optional<StoredValue> ReadValue(const RegistryRow& row) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, row.key.c_str(), row.name.c_str(), RRF_RT_ANY, &type, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<BYTE> data(bytes + sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, row.key.c_str(), row.name.c_str(), RRF_RT_ANY, &type,
                   data.data(), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type == REG_DWORD)
    return StoredValue{type, *reinterpret_cast<const DWORD*>(data.data())};
  return StoredValue{type, std::wstring(reinterpret_cast<const wchar_t*>(data.data()))};
}

class RegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.module(), nullptr) << "Morvane.dll was not found beside the tests";
    DeleteScratch();
    user_ = CreateKey(HKEY_CURRENT_USER, kScratch + L"\\user");
    classes_ = CreateKey(HKEY_CURRENT_USER, kScratch + L"\\classes");
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_), ERROR_SUCCESS);
    // What every Windows registry holds already: the shared parent keys, Office's own ribbon
    // interface and another add-in's entry beside ours. All of it must outlive our
    // registration.
    for (const wchar_t* path : {L"CLSID", L"TypeLib", kRibbonInterface}) {
      RegCloseKey(CreateKey(HKEY_CLASSES_ROOT, path));
    }
    for (const wchar_t* path : {L"Software\\Classes\\CLSID", L"Software\\Classes\\TypeLib",
                                kRibbonInterfaceForUser, kOtherAddIn}) {
      RegCloseKey(CreateKey(HKEY_CURRENT_USER, path));
    }
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(user_);
    RegCloseKey(classes_);
    DeleteScratch();
  }

  HRESULT Register() { return dll_.Export<HRESULT STDAPICALLTYPE()>("DllRegisterServer")(); }
  HRESULT Unregister() { return dll_.Export<HRESULT STDAPICALLTYPE()>("DllUnregisterServer")(); }

  static constexpr const wchar_t* kRibbonInterface =
      L"Interface\\{000C0396-0000-0000-C000-000000000046}";
  static constexpr const wchar_t* kRibbonInterfaceForUser =
      L"Software\\Classes\\Interface\\{000C0396-0000-0000-C000-000000000046}";
  static constexpr const wchar_t* kOtherAddIn =
      L"Software\\Microsoft\\Office\\Excel\\Addins\\Other.Connect";

  const MorvaneDll& dll_ = MorvaneDll::Get();
  HKEY user_ = nullptr;
  HKEY classes_ = nullptr;
};

// Registering again over an existing registration (an update, a repair) must change nothing.
TEST_F(RegistrationTest, WritesEveryRowOfTheTableWithItsTypeAndTheTypeLibraryAtTheDllsPath) {
  ASSERT_EQ(Register(), S_OK);
  ASSERT_EQ(Register(), S_OK);
  for (const RegistryRow& row : RegistrationTable(dll_.path())) {
    SCOPED_TRACE(row.key + L" : " + row.name);
    const std::optional<StoredValue> stored = ReadValue(row);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, std::holds_alternative<DWORD>(row.data) ? REG_DWORD : REG_SZ);
    EXPECT_EQ(stored->data, row.data);
  }
  Bstr path;
  ASSERT_EQ(QueryPathOfRegTypeLib(kLibId, 1, 0, 0, path.put()), S_OK);
  EXPECT_EQ(_wcsicmp(std::wstring(path.view()).c_str(), dll_.path().c_str()), 0);
  ASSERT_EQ(Unregister(), S_OK);
  EXPECT_NE(QueryPathOfRegTypeLib(kLibId, 1, 0, 0, path.put()), S_OK);
}

TEST_F(RegistrationTest, TheTableNamesTheDllExcelAndTheAddInEntry) {
  // What Excel and COM look for, spelled out once more by hand: a typo in the table would
  // otherwise register consistently wrong keys.
  const std::wstring clsid = kClsidConnectText.data();
  const std::vector<RegistryRow> table = RegistrationTable(dll_.path());
  auto has = [&](const std::wstring& key, const std::wstring& name,
                 std::variant<std::wstring, DWORD> data) {
    return std::find(table.begin(), table.end(), RegistryRow{key, name, data}) != table.end();
  };
  const std::wstring addIn = L"Software\\Microsoft\\Office\\Excel\\Addins\\Morvane.Connect";
  EXPECT_TRUE(has(L"Software\\Classes\\Morvane.Connect\\CLSID", L"", clsid));
  EXPECT_TRUE(has(L"Software\\Classes\\CLSID\\" + clsid + L"\\InprocServer32", L"", dll_.path()));
  EXPECT_TRUE(has(L"Software\\Classes\\CLSID\\" + clsid + L"\\InprocServer32", L"ThreadingModel",
                  L"Apartment"));
  EXPECT_TRUE(has(L"Software\\Classes\\CLSID\\" + clsid + L"\\ProgID", L"", L"Morvane.Connect"));
  EXPECT_TRUE(has(L"Software\\Classes\\CLSID\\" + clsid + L"\\TypeLib", L"",
                  std::wstring(kLibIdText.data())));
  EXPECT_TRUE(has(addIn, L"FriendlyName", L"Morvane"));
  EXPECT_TRUE(has(addIn, L"Description", L"Add-In Project Template"));
  EXPECT_TRUE(has(addIn, L"LoadBehavior", DWORD{3}));
  EXPECT_TRUE(has(addIn, L"CommandLineSafe", DWORD{0}));
}

// On a profile that holds the shared parent keys already, and on one that holds nothing (the
// keys registering had to create go again).
TEST_F(RegistrationTest, UnregisteringLeavesTheRegistryAsItWas) {
  for (const bool bare : {false, true}) {
    SCOPED_TRACE(bare ? "bare profile" : "usual profile");
    if (bare) {
      ASSERT_EQ(RegDeleteTreeW(user_, nullptr), ERROR_SUCCESS);
      ASSERT_EQ(RegDeleteTreeW(classes_, nullptr), ERROR_SUCCESS);
    }
    const std::set<std::wstring> before = DumpBoth();
    EXPECT_EQ(Unregister(), S_OK);  // nothing registered yet: nothing to do, and no failure
    ASSERT_EQ(Register(), S_OK);
    ASSERT_EQ(Register(), S_OK);
    const std::set<std::wstring> registered = DumpBoth();
    // Sanity of the comparison: registering did write somewhere the dump looks.
    EXPECT_GT(registered.size(), before.size() + RegistrationTable(dll_.path()).size() / 2);
    ASSERT_EQ(Unregister(), S_OK);
    EXPECT_EQ(Unregister(), S_OK);
    const std::set<std::wstring> after = DumpBoth();
    std::vector<std::wstring> left;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(left));
    std::vector<std::wstring> lost;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(lost));
    EXPECT_TRUE(left.empty()) << "left behind, e.g. " << win32::Utf8FromWide(left[0]);
    EXPECT_TRUE(lost.empty()) << "removed, e.g. " << win32::Utf8FromWide(lost[0]);
  }
}

}  // namespace
}  // namespace morvane::com
