// The late-binding call: argument order, omitted optionals, property puts, locale, errors and
// the per-type DISPID cache.

#include <gtest/gtest.h>

#include "addin/com/excel/adapters.h"
#include "support/fake_dispatch.h"

namespace morvane::test {
namespace {

using namespace fakes;

using com::DispatchObject;
using com::TypeCatalog;

std::shared_ptr<FakeType> ControlsType() {
  return Type({{u"Add", 3}, {u"Item", 0}});
}

// Add(Type, Id, Parameter, Before, Temporary) as the host received it, first argument first.
std::vector<std::string> AddArguments(const host::ControlAddArgs& args) {
  auto controls = FakeObject::Create(ControlsType());
  controls->On(u"Add", [raw = controls.get()](const FakeCall&, VARIANT* added, EXCEPINFO*) {
    V_VT(added) = VT_DISPATCH;
    V_DISPATCH(added) = raw;  // any object will do
    raw->AddRef();
    return S_OK;
  });
  com::MakeCommandBarControls(DispatchObject(controls.get(), std::make_shared<TypeCatalog>()))
      ->Add(args);
  EXPECT_TRUE(controls->LastCall().named.empty());
  EXPECT_EQ(controls->LastCall().flags, DISPATCH_METHOD);
  return ArgumentsOf(controls->LastCall());
}

TEST(DispatchCall, ArgumentsArriveLastFirstWithOmittedOnesHoldingTheirPlace) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(AddArguments({10, 5, u"p", 2, true}),
            (Args{"I4 10", "I4 5", "BSTR p", "I4 2", "True"}));
  EXPECT_EQ(AddArguments({10, {}, {}, {}, false}),
            (Args{"I4 10", "missing", "missing", "missing", "False"}));
  EXPECT_EQ(AddArguments({1, {}, {}, 3, {}}), (Args{"I4 1", "missing", "missing", "I4 3"}));
  EXPECT_EQ(AddArguments({1, {}, {}, {}, {}}), (Args{"I4 1"}));
  EXPECT_EQ(AddArguments({}), Args{});
}

// The description a server gives only when the caller runs pfnDeferredFillIn.
BSTR pendingDescription = nullptr;
HRESULT STDAPICALLTYPE FillInLater(EXCEPINFO* late) {
  late->bstrDescription = pendingDescription;
  return S_OK;
}

struct FailureCase {
  const char* what;
  HRESULT returned;
  WORD wCode;
  SCODE scode;
  const wchar_t* text;  // the server's description, or none
  bool deferred;        // given only through pfnDeferredFillIn
  std::int32_t hresult;
  std::u16string description;
};

TEST(DispatchCall, FailuresBecomeHostErrors) {
  using errors::kExcelBusy, errors::kExcelError;
  const std::u16string noCells = u"No cells were found.";
  const FailureCase cases[] = {
      {"Excel error", DISP_E_EXCEPTION, 0, kExcelError, L"No cells were found.", false, kExcelError,
       noCells},
      {"filled in later", DISP_E_EXCEPTION, 0, kExcelError, L"No cells were found.", true,
       kExcelError, noCells},
      {"wCode only", DISP_E_EXCEPTION, 1004, 0, L"No cells were found.", false, kExcelError,
       noCells},
      {"no description", DISP_E_EXCEPTION, 0, kExcelBusy, nullptr, false, kExcelBusy,
       u"SpecialCells: Microsoft Excel is busy"},
      {"plain HRESULT", DISP_E_TYPEMISMATCH, 0, 0, nullptr, false, errors::kTypeMismatch,
       u"SpecialCells: Type mismatch"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto type = Type({{u"SpecialCells", 0x19A}});
    auto range = FakeObject::Create(type);
    range->On(u"SpecialCells", [&](const FakeCall&, VARIANT*, EXCEPINFO* info) {
      *info = EXCEPINFO{};
      info->wCode = c.wCode;
      info->scode = c.scode;
      BSTR text = c.text ? SysAllocString(c.text) : nullptr;
      if (c.deferred) {
        pendingDescription = text;
        info->pfnDeferredFillIn = FillInLater;
      } else {
        info->bstrDescription = text;
      }
      return c.returned;
    });
    auto adapter = com::MakeRange(DispatchObject(range.get(), std::make_shared<TypeCatalog>()));
    try {
      adapter->SpecialCells(host::kCellTypeConstants);
      ADD_FAILURE() << "no error";
    } catch (const host::HostError& e) {
      EXPECT_EQ(e.hresult(), c.hresult);
      EXPECT_EQ(e.description(), c.description);
    }
  }
}

// Two objects, each read by name twice: the lookups all their types saw together, and whether
// each call carried its own object's DISPID.
struct CacheCase {
  const char* what;
  std::shared_ptr<FakeType> first, second;
  int lookups;
};

TEST(DispatchCall, NamesAreLookedUpOncePerTypeAndNeverBorrowedAcrossTypes) {
  const GUID range = {0x00020846, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  const GUID shape = {0x000C031C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  const auto type = [](DISPID id, ComPtr<ITypeInfo> info) {
    return Type({{u"Value", id}}, std::move(info));
  };
  const auto shared = type(6, MakeTypeInfo(range));
  const auto noInfo = type(6, nullptr);
  const CacheCase cases[] = {
      {"one type", shared, shared, 1},
      {"same GUID, two type infos", type(6, MakeTypeInfo(range)), type(6, MakeTypeInfo(range)), 1},
      {"different GUIDs", type(6, MakeTypeInfo(range)), type(9, MakeTypeInfo(shape)), 2},
      {"no GUID", type(6, MakeTypeInfo(GUID_NULL)), type(9, MakeTypeInfo(GUID_NULL)), 2},
      {"no type information", noInfo, noInfo, 2},
  };
  for (const CacheCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto catalog = std::make_shared<TypeCatalog>();
    for (const auto& objectType : {c.first, c.second}) {
      auto object = FakeObject::Create(objectType);
      object->Set(u"Value", Variant::of_double(1));
      const auto adapter = com::MakeRange(DispatchObject(object.get(), catalog));
      adapter->Value();
      adapter->Value();
      ASSERT_EQ(object->calls().size(), 2u);
      for (const FakeCall& call : object->calls()) {
        EXPECT_EQ(call.id, objectType->names.at(u"Value"));
      }
    }
    int lookups = c.first->lookups[u"Value"];
    if (c.second != c.first) {
      lookups += c.second->lookups[u"Value"];
    }
    EXPECT_EQ(lookups, c.lookups);
  }
}

}  // namespace
}  // namespace morvane::test
