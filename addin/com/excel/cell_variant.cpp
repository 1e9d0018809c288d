#include "addin/com/excel/cell_variant.h"

#include <cstdint>
#include <string>

#include "addin/com/base/bstr.h"
#include "addin/com/excel/locale.h"
#include "addin/model/errors.h"

namespace morvane::com {
namespace {

// Excel's cell errors travel as FACILITY_CONTROL codes: CVErr(n) is 0x800A0000 + n.
constexpr std::uint32_t kCellErrorBase = 0x800A0000u;

// VT_DATE counts days from 30 December 1899; Excel's serial days count from its fictitious
// 0 January 1900 and keep 29 February 1900 (serial 60). They agree from 1 March 1900 on.
constexpr double kFirstSharedDay = 61;

double SerialFromOleDate(double date) {
  return date < kFirstSharedDay ? date - 1 : date;
}

double OleDateFromSerial(double serial) {
  return serial < kFirstSharedDay ? serial + 1 : serial;
}

host::CellValue FromError(SCODE code) {
  const auto bits = static_cast<std::uint32_t>(code);
  if ((bits & 0xFFFF0000u) != kCellErrorBase) {
    throw errors::TypeMismatch();  // DISP_E_PARAMNOTFOUND and the like are no cell's value
  }
  return static_cast<host::ErrorValue>(bits & 0xFFFFu);
}

double AsDouble(const VARIANT& value) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(
          VariantChangeTypeEx(&converted, const_cast<VARIANT*>(&value), kExcelLocale, 0, VT_R8))) {
    throw errors::TypeMismatch();
  }
  return V_R8(&converted);
}

host::CellValue FromDirect(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
      return host::Empty{};
    case VT_BSTR:
      return BstrText(V_BSTR(&value));
    case VT_R8:
      return V_R8(&value);
    case VT_DATE:
      return host::Date{SerialFromOleDate(V_DATE(&value))};
    case VT_BOOL:
      return V_BOOL(&value) != VARIANT_FALSE;
    case VT_CY:
      return host::Currency{V_CY(&value).int64};
    case VT_ERROR:
      return FromError(V_ERROR(&value));
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_R4:
    case VT_DECIMAL:
      return AsDouble(value);
    default:
      throw errors::TypeMismatch();
  }
}

}  // namespace

void RequireFollowableReference(const VARIANT& value) {
  if ((V_VT(&value) & VT_BYREF) == 0) {
    return;
  }
  if (V_BYREF(&value) == nullptr) {
    throw errors::TypeMismatch();
  }
  if (V_VT(&value) == (VT_VARIANT | VT_BYREF) && (V_VT(V_VARIANTREF(&value)) & VT_BYREF) != 0) {
    throw errors::TypeMismatch();
  }
}

host::CellValue CellValueFromVariant(const VARIANT& value) {
  if ((V_VT(&value) & VT_BYREF) == 0) {
    return FromDirect(value);
  }
  RequireFollowableReference(value);
  if ((V_VT(&value) & VT_ARRAY) != 0) {
    throw errors::TypeMismatch();  // no cell holds an array, and its copy is not needed to say so
  }
  if (V_VT(&value) == (VT_VARIANT | VT_BYREF)) {
    return FromDirect(*V_VARIANTREF(&value));
  }
  Variant direct;
  if (FAILED(VariantCopyInd(direct.get(), const_cast<VARIANT*>(&value)))) {
    throw errors::TypeMismatch();
  }
  return FromDirect(*direct.get());
}

Variant VariantFromCellValue(const host::CellValue& value) {
  struct Visitor {
    Variant operator()(host::Empty) const { return Variant(); }
    Variant operator()(const std::u16string& text) const { return Variant::of_string(text); }
    Variant operator()(double number) const { return Variant::of_double(number); }
    Variant operator()(host::Date date) const {
      VARIANT raw;
      V_VT(&raw) = VT_DATE;
      V_DATE(&raw) = OleDateFromSerial(date.serial);
      return Adopt(raw);
    }
    Variant operator()(bool logical) const { return Variant::of_bool(logical); }
    Variant operator()(host::Currency amount) const {
      VARIANT raw;
      V_VT(&raw) = VT_CY;
      V_CY(&raw).int64 = amount.scaled;
      return Adopt(raw);
    }
    Variant operator()(host::ErrorValue error) const {
      VARIANT raw;
      V_VT(&raw) = VT_ERROR;
      const std::uint32_t code = kCellErrorBase + static_cast<std::uint32_t>(error);
      V_ERROR(&raw) = static_cast<SCODE>(code);
      return Adopt(raw);
    }
    static Variant Adopt(const VARIANT& raw) {
      Variant v;
      v.reset(raw);
      return v;
    }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace morvane::com
