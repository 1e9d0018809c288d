#include "addin/com/excel/result_values.h"

#include "addin/com/base/bstr.h"
#include "addin/com/excel/cell_variant.h"
#include "addin/com/excel/host_error_from_com.h"
#include "addin/com/excel/locale.h"

namespace morvane::com {
namespace {

Variant Converted(const Variant& result, VARTYPE type, std::u16string_view member) {
  RequireFollowableReference(*result.get());
  Variant converted;
  const HRESULT hr = VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(result.get()),
                                         kExcelLocale, 0, type);
  if (FAILED(hr)) {
    throw HostErrorFromHResult(hr, member);
  }
  return converted;
}

}  // namespace

std::int32_t Int32Of(const Variant& result, std::u16string_view member) {
  if (result.vt() == VT_I4) {
    return V_I4(result.get());
  }
  return V_I4(Converted(result, VT_I4, member).get());
}

double NumberOf(const Variant& result, std::u16string_view member) {
  if (result.vt() == VT_R8) {
    return V_R8(result.get());
  }
  return V_R8(Converted(result, VT_R8, member).get());
}

std::u16string TextOf(const Variant& result, std::u16string_view member) {
  const auto read = [](const Variant& holder) { return BstrText(V_BSTR(holder.get())); };
  if (result.vt() == VT_BSTR) {
    return read(result);
  }
  return read(Converted(result, VT_BSTR, member));
}

}  // namespace morvane::com
