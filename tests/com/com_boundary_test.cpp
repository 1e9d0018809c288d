// The boundary every COM method body goes through: which HRESULT each failure becomes, and the
// IErrorInfo the caller can read afterwards. Also the "HRESULT, not BOOL" Check and the
// registry text of the add-in's GUIDs.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_error.h"
#include "addin/com/base/com_ptr.h"
#include "addin/com/identity.h"
#include "addin/model/host.h"

namespace morvane::com {
namespace {

struct ErrorInfoText {
  std::wstring source;
  std::wstring description;
};

// Takes the thread's error object, as a COM caller does after a failed call.
ErrorInfoText TakeErrorInfo() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info)
    return {L"<none>", L"<none>"};
  Bstr source;
  Bstr description;
  info->GetSource(source.put());
  info->GetDescription(description.put());
  return {std::wstring(source.view()), std::wstring(description.view())};
}

struct BoundaryCase {
  const char* name;
  std::function<HRESULT()> body;
  HRESULT expected;
  const wchar_t* description;
};

TEST(ComBoundaryTest, MapsEachFailureToItsHResultAndDescribesIt) {
  const BoundaryCase cases[] = {
      {"ComError", []() -> HRESULT { throw ComError(E_ACCESSDENIED, "RegCreateKeyExW"); },
       E_ACCESSDENIED, L"RegCreateKeyExW"},
      {"Check",
       []() -> HRESULT {
         Check(DISP_E_TYPEMISMATCH, "VariantChangeType");
         return S_OK;
       },
       DISP_E_TYPEMISMATCH, L"VariantChangeType"},
      {"HostError",
       []() -> HRESULT {
         throw host::HostError(errors::kExcelError, u"Select method of Range class failed");
       },
       static_cast<HRESULT>(0x800A03EC), L"Select method of Range class failed"},
      {"HostError with a success code", []() -> HRESULT { throw host::HostError(0, u"odd"); },
       E_FAIL, L"odd"},
      {"bad_alloc", []() -> HRESULT { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"Out of memory"},
      {"system_error, portable code",
       []() -> HRESULT {
         throw std::system_error(std::make_error_code(std::errc::permission_denied),
                                 "cannot create MorvaneRibbon.xml");
       },
       E_ACCESSDENIED, L"cannot create MorvaneRibbon.xml: Permission denied"},
      {"system_error, Windows code",
       []() -> HRESULT {
         throw std::system_error(ERROR_SHARING_VIOLATION, std::system_category(), "open");
       },
       HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), nullptr},
      {"std::exception", []() -> HRESULT { throw std::runtime_error("cannot open x\xc3\xa9"); },
       E_FAIL, L"cannot open x\u00e9"},
      {"not an exception class", []() -> HRESULT { throw 42; }, E_FAIL, L"Unknown error"},
  };
  for (const BoundaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(com_boundary(c.body), c.expected);
    const ErrorInfoText info = TakeErrorInfo();
    EXPECT_EQ(info.source, L"Morvane");
    if (c.description) {
      EXPECT_EQ(info.description, c.description);
    }
  }
}

TEST(ComBoundaryTest, PassesResultsThroughUntouched) {
  for (HRESULT result : {S_OK, S_FALSE, DISP_E_UNKNOWNNAME}) {
    EXPECT_EQ(com_boundary([&] { return result; }), result);
  }
  Check(S_FALSE, "S_FALSE is success");
}

// A Win32 BOOL (0 = failure) or a bool handed to Check would pass as "success": neither compiles.
template <class T>
concept Checkable = requires(T value) {
  Check(value, "");
};
static_assert(Checkable<HRESULT>);
static_assert(!Checkable<BOOL>);
static_assert(!Checkable<bool>);

TEST(IdentityTest, RegistryTextIsTheFormStringFromGuidGives) {
  for (const GUID& guid :
       {kLibId, kClsidConnect, kIidConnect, kClsidCbMorvane, kIidCbMorvane, kIidExcelApplication}) {
    wchar_t expected[40] = {};
    ASSERT_EQ(StringFromGUID2(guid, expected, 40), 39);
    EXPECT_EQ(std::wstring(FormatGuid(guid).data()), expected);
  }
}

}  // namespace
}  // namespace morvane::com
