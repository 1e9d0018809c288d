// Cell values to and from the VARIANTs Excel's Range.Value gives and takes.

#include <gtest/gtest.h>

#include <functional>

#include "addin/com/excel/adapters.h"
#include "addin/com/excel/cell_variant.h"
#include "support/fake_dispatch.h"

namespace morvane::test {
namespace {

using namespace fakes;

using host::CellValue;

Variant Make(const std::function<void(VARIANT&)>& fill) {
  VARIANT raw;
  VariantInit(&raw);
  fill(raw);
  Variant v;
  v.reset(raw);
  return v;
}

struct ReadCase {
  const char* what;
  std::function<void(VARIANT&)> fill;
  CellValue expected;
};

TEST(CellVariant, ReadsEveryKindOfCellValue) {
  static double referenced = 2.5;
  const ReadCase cases[] = {
      {"empty", [](VARIANT&) {}, host::Empty{}},
      {"null", [](VARIANT& v) { V_VT(&v) = VT_NULL; }, host::Empty{}},
      {"text with a lone surrogate and an embedded null",
       [](VARIANT& v) {
         V_VT(&v) = VT_BSTR;
         V_BSTR(&v) = SysAllocStringLen(L"a\xD800\0b", 4);
       },
       std::u16string(u"a\xD800\0b", 4)},
      {"null BSTR", [](VARIANT& v) { V_VT(&v) = VT_BSTR; }, std::u16string()},
      {"double", [](VARIANT& v) { V_VT(&v) = VT_R8, V_R8(&v) = -0.125; }, -0.125},
      {"date", [](VARIANT& v) { V_VT(&v) = VT_DATE, V_DATE(&v) = 45000.5; }, host::Date{45000.5}},
      {"date before March 1900", [](VARIANT& v) { V_VT(&v) = VT_DATE, V_DATE(&v) = 2.5; },
       host::Date{1.5}},
      {"true", [](VARIANT& v) { V_VT(&v) = VT_BOOL, V_BOOL(&v) = VARIANT_TRUE; }, true},
      {"currency", [](VARIANT& v) { V_VT(&v) = VT_CY, V_CY(&v).int64 = -50001; },
       host::Currency{-50001}},
      {"#N/A", [](VARIANT& v) { V_VT(&v) = VT_ERROR, V_ERROR(&v) = 0x800A07FA; },
       host::ErrorValue::NA},
      {"long", [](VARIANT& v) { V_VT(&v) = VT_I4, V_I4(&v) = -7; }, -7.0},
      {"single", [](VARIANT& v) { V_VT(&v) = VT_R4, V_R4(&v) = 0.5f; }, 0.5},
      {"double by reference",
       [](VARIANT& v) { V_VT(&v) = VT_R8 | VT_BYREF, V_R8REF(&v) = &referenced; }, 2.5},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Variant v = Make(c.fill);
    EXPECT_EQ(com::CellValueFromVariant(*v.get()), c.expected);
  }
}

TEST(CellVariant, AnythingElseIsATypeMismatch) {
  const std::function<void(VARIANT&)> cases[] = {
      [](VARIANT& v) { V_VT(&v) = VT_ERROR, V_ERROR(&v) = DISP_E_PARAMNOTFOUND; },
      [](VARIANT& v) { V_VT(&v) = VT_DISPATCH, V_DISPATCH(&v) = nullptr; },
      [](VARIANT& v) {
        V_VT(&v) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(&v) = SafeArrayCreateVector(VT_VARIANT, 1, 2);
      },
  };
  for (const auto& fill : cases) {
    const Variant v = Make(fill);
    SCOPED_TRACE(v.vt());
    try {
      com::CellValueFromVariant(*v.get());
      ADD_FAILURE() << "no error";
    } catch (const host::HostError& e) {
      EXPECT_EQ(e.hresult(), errors::kTypeMismatch);
    }
  }
}

// Written through Range.Value and read back the same way, each value arrives as its own
// VARIANT type and comes back unchanged.
TEST(CellVariant, WritesEveryKindAndReadsItBack) {
  const std::pair<CellValue, VARTYPE> cases[] = {
      {host::Empty{}, VT_EMPTY},          {std::u16string(u"\xD83D\xDE00 x\0y", 5), VT_BSTR},
      {std::u16string(), VT_BSTR},        {1e300, VT_R8},
      {host::Date{-1.25}, VT_DATE},       {true, VT_BOOL},
      {host::Currency{INT64_MIN}, VT_CY}, {host::ErrorValue::Null, VT_ERROR},
      {host::ErrorValue::NA, VT_ERROR},
  };
  auto type = Type({{u"Value", 6}});
  auto cell = FakeObject::Create(type);
  const auto range =
      com::MakeRange(com::DispatchObject(cell.get(), std::make_shared<com::TypeCatalog>()));
  for (const auto& [value, vt] : cases) {
    SCOPED_TRACE(vt);
    range->SetValue(value);
    const Variant& written = cell->Value(u"Value");
    EXPECT_EQ(written.vt(), vt);
    if (const auto* error = std::get_if<host::ErrorValue>(&value)) {
      EXPECT_EQ(static_cast<std::uint32_t>(V_ERROR(written.get())),
                0x800A0000u + static_cast<std::uint32_t>(*error));
    }
    if (vt == VT_BOOL) {
      EXPECT_EQ(V_BOOL(written.get()), VARIANT_TRUE);
    }
    EXPECT_EQ(range->Value(), value);
  }
}

}  // namespace
}  // namespace morvane::test
