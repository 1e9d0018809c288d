// What the built Morvane.dll carries: its exports, its version information and its type
// library, read back as Windows, COM and Excel read them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/generated_interfaces.h"
#include "addin/com/identity.h"
#include "com/morvane_dll.h"

namespace morvane::com {
namespace {

using testing_dll::MorvaneDll;

class VersionResourceTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring& path = MorvaneDll::Get().path();
    ASSERT_FALSE(path.empty()) << "Morvane.dll was not found";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block_.data()));
  }

  // The string value, or nothing when the block lacks it.
  std::optional<std::wstring> Text(const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(block_.data(), query.c_str(), &value, &length))
      return std::nullopt;
    const wchar_t* text = static_cast<const wchar_t*>(value);
    return length == 0 ? std::wstring() : std::wstring(text, wcsnlen(text, length));
  }

  std::vector<BYTE> block_;
};

TEST_F(VersionResourceTest, StringsAreThoseTheAddInPublishes) {
  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } fields[] = {
      {L"FileVersion", L"1.00"},     {L"ProductVersion", L"1.00"},
      {L"InternalName", L"Morvane"}, {L"FileDescription", L"Morvane Addin"},
      {L"ProductName", L"Morvane"},  {L"LegalTrademarks", L"Morvane"},
      {L"Comments", L"Morvane"},     {L"OLESelfRegister", L""},
  };
  for (const auto& field : fields) {
    const std::optional<std::wstring> value = Text(field.name);
    ASSERT_TRUE(value) << std::string(field.name, field.name + wcslen(field.name));
    EXPECT_EQ(*value, field.value);
  }
}

TEST_F(VersionResourceTest, UsEnglishUnicodeAndVersionOneOfADll) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const WORD* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);

  ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

class TypeLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring& path = MorvaneDll::Get().path();
    ASSERT_FALSE(path.empty()) << "Morvane.dll was not found";
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library_.put()), S_OK);
  }
  ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibraryTest, IsMorvaneOneZeroForThisArchitecture) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library_->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kLibId));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0u);
  EXPECT_EQ(attributes->syskind, kTypeLibSysKind);
  library_->ReleaseTLibAttr(attributes);
  Bstr name;
  Bstr description;
  ASSERT_EQ(library_->GetDocumentation(-1, name.put(), description.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(name.view(), L"Morvane");
  EXPECT_FALSE(description.view().empty());
}

TEST_F(TypeLibraryTest, HoldsTheAddInsOwnTypesAndNoneOfOffices) {
  // Office's interfaces in our library would be re-registered as ours, and unregistering would
  // then remove Office's own registration of them.
  EXPECT_EQ(library_->GetTypeInfoCount(), 4u);
  for (const GUID* own : {&kIidConnect, &kClsidConnect, &kIidCbMorvane, &kClsidCbMorvane}) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(library_->GetTypeInfoOfGuid(*own, info.put()), S_OK);
  }
  for (const GUID* office : {&IID_IDTExtensibility2, &IID_IRibbonExtensibility, &IID_IRibbonControl,
                             &DIID__CommandBarButtonEvents}) {
    ComPtr<ITypeInfo> info;
    EXPECT_NE(library_->GetTypeInfoOfGuid(*office, info.put()), S_OK);
  }
}

TEST_F(TypeLibraryTest, ConnectsInterfaceListsItsMembersInOrderClearOfOfficesDispids) {
  ComPtr<ITypeInfo> dispatchView;
  ASSERT_EQ(library_->GetTypeInfoOfGuid(kIidConnect, dispatchView.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(dispatchView->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  dispatchView->ReleaseTypeAttr(attributes);
  // The vtable half of the dual interface: the order the C++ class must follow.
  HREFTYPE vtableView = 0;
  ASSERT_EQ(dispatchView->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableView), S_OK);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatchView->GetRefTypeInfo(vtableView, info.put()), S_OK);
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  const WORD functions = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  ASSERT_EQ(functions, 3);
  const wchar_t* expected[] = {L"RibbonHandler", L"remMenuBar", L"TarvelMB_Add"};
  const SHORT parameters[] = {1, 0, 0};
  for (UINT i = 0; i < 3; ++i) {
    FUNCDESC* function = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
    Bstr name;
    info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.view(), expected[i]);
    EXPECT_EQ(function->cParams, parameters[i]);
    EXPECT_GT(function->memid, 5) << "collides with IDTExtensibility2 or IRibbonExtensibility";
    EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));  // after IDispatch
    info->ReleaseFuncDesc(function);
  }
}

}  // namespace
}  // namespace morvane::com

namespace morvane::com {
namespace {

// A copy of the DLL in a folder of its own, loaded beside the original.
class RelocatedDll {
 public:
  RelocatedDll() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"morvane-relocated-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring copy = folder_ + L"\\Morvane.dll";
    if (CopyFileW(MorvaneDll::Get().path().c_str(), copy.c_str(), FALSE)) {
      module_ = LoadLibraryW(copy.c_str());
    }
  }
  ~RelocatedDll() {
    if (module_)
      FreeLibrary(module_);
    DeleteFileW((folder_ + L"\\Morvane.dll").c_str());
    DeleteFileW(markup().c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  HMODULE module() const { return module_; }
  std::wstring markup() const { return folder_ + L"\\MorvaneRibbon.xml"; }

  ComPtr<IRibbonExtensibility> CreateRibbon() const {
    using GetClassObjectFn = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    auto* getClassObject = reinterpret_cast<GetClassObjectFn*>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ComPtr<IRibbonExtensibility> ribbon;
    if (getClassObject(kClsidConnect, IID_IClassFactory, factory.put_void()) == S_OK) {
      factory->CreateInstance(nullptr, IID_IRibbonExtensibility, ribbon.put_void());
    }
    return ribbon;
  }

 private:
  std::wstring folder_;
  HMODULE module_ = nullptr;
};

// The markup for the ribbon id Excel passes; the id itself plays no part.
std::wstring Markup(IRibbonExtensibility& ribbon, HRESULT& hr) {
  Bstr id(std::wstring_view(L"Microsoft.Excel.Workbook"));
  Bstr markup;
  hr = ribbon.GetCustomUI(id.get(), markup.put());
  Bstr noId;
  const HRESULT noIdHr = ribbon.GetCustomUI(nullptr, noId.put());
  if (noIdHr != hr || noId.view() != markup.view())
    ADD_FAILURE() << "another ribbon id, another answer";
  return std::wstring(markup.view());
}

TEST(RelocatedDllTest, GetCustomUIReadsTheMarkupBesideTheDllItself) {
  RelocatedDll dll;
  ASSERT_NE(dll.module(), nullptr);
  {
    std::ofstream(std::filesystem::path(dll.markup()), std::ios::binary) << "<customUI id=\"x\"/>";
  }
  ComPtr<IRibbonExtensibility> ribbon = dll.CreateRibbon();
  ASSERT_TRUE(ribbon);
  HRESULT hr = E_FAIL;
  EXPECT_EQ(Markup(*ribbon.get(), hr), L"<customUI id=\"x\"/>");
  EXPECT_EQ(hr, S_OK);

  EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);

  // No markup file: an empty one is created beside the DLL and the markup is empty.
  ASSERT_TRUE(DeleteFileW(dll.markup().c_str()));
  EXPECT_EQ(Markup(*ribbon.get(), hr), L"");
  EXPECT_EQ(hr, S_OK);
  EXPECT_NE(GetFileAttributesW(dll.markup().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace morvane::com
