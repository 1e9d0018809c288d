#include "tests/e2e/cell_variant.h"

#include <array>
#include <cstdint>

#include "tests/e2e/served_object.h"

namespace morvane::e2e {
namespace {

constexpr std::int32_t kCvErrBase = static_cast<std::int32_t>(0x800A0000);
constexpr double kFirstSharedDay = 61;  // 1 March 1900 in both counts

constexpr std::array kErrorValues = {
    host::ErrorValue::Null, host::ErrorValue::Div0, host::ErrorValue::Value, host::ErrorValue::Ref,
    host::ErrorValue::Name, host::ErrorValue::Num,  host::ErrorValue::NA};

}  // namespace

double OleDateFromSerial(double serial) {
  return serial < kFirstSharedDay ? serial + 1 : serial;
}

double SerialFromOleDate(double date) {
  return date < kFirstSharedDay ? date - 1 : date;
}

VARIANT ToVariant(const host::CellValue& value) {
  VARIANT out;
  VariantInit(&out);
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::u16string>) {
          V_VT(&out) = VT_BSTR;
          V_BSTR(&out) = SysAllocStringLen(reinterpret_cast<const wchar_t*>(v.data()),
                                           static_cast<UINT>(v.size()));
        } else if constexpr (std::is_same_v<T, double>) {
          V_VT(&out) = VT_R8;
          V_R8(&out) = v;
        } else if constexpr (std::is_same_v<T, host::Date>) {
          V_VT(&out) = VT_DATE;
          V_DATE(&out) = OleDateFromSerial(v.serial);
        } else if constexpr (std::is_same_v<T, bool>) {
          V_VT(&out) = VT_BOOL;
          V_BOOL(&out) = v ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<T, host::Currency>) {
          V_VT(&out) = VT_CY;
          V_CY(&out).int64 = v.scaled;
        } else if constexpr (std::is_same_v<T, host::ErrorValue>) {
          V_VT(&out) = VT_ERROR;
          V_ERROR(&out) = kCvErrBase + static_cast<std::int32_t>(v);
        }
      },
      value);
  return out;
}

host::CellValue FromVariant(const VARIANT& value, int rgIndex) {
  if (V_VT(&value) & VT_BYREF) {
    VARIANT direct;
    VariantInit(&direct);
    if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT*>(&value)))) {
      throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
    }
    host::CellValue out = FromVariant(direct, rgIndex);
    VariantClear(&direct);
    return out;
  }
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
      return host::Empty{};
    case VT_BSTR:
      return Utf16(V_BSTR(&value));
    case VT_DATE:
      return host::Date{SerialFromOleDate(V_DATE(&value))};
    case VT_BOOL:
      return V_BOOL(&value) != VARIANT_FALSE;
    case VT_CY:
      return host::Currency{V_CY(&value).int64};
    case VT_ERROR:
      for (host::ErrorValue error : kErrorValues) {
        if (V_ERROR(&value) == kCvErrBase + static_cast<std::int32_t>(error)) {
          return error;
        }
      }
      throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
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
    case VT_R8:
    case VT_DECIMAL: {
      VARIANT number;
      VariantInit(&number);
      if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_R8))) {
        throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
      }
      return V_R8(&number);
    }
    default:
      throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
  }
}

}  // namespace morvane::e2e
