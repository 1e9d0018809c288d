#include "addin/com/base/variant.h"

#include <string_view>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_error.h"

namespace morvane::com {

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other)
    reset(other.release());
  return *this;
}

Variant Variant::of_bool(bool value) {
  Variant v;
  V_VT(&v.var_) = VT_BOOL;
  V_BOOL(&v.var_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::of_int(std::int32_t value) {
  Variant v;
  V_VT(&v.var_) = VT_I4;
  V_I4(&v.var_) = value;
  return v;
}

Variant Variant::of_double(double value) {
  Variant v;
  V_VT(&v.var_) = VT_R8;
  V_R8(&v.var_) = value;
  return v;
}

Variant Variant::of_string(std::u16string_view text) {
  Bstr str(text);
  Variant v;
  V_VT(&v.var_) = VT_BSTR;
  V_BSTR(&v.var_) = str.release();
  return v;
}

Variant Variant::of_dispatch(IDispatch* borrowed) {
  Variant v;
  if (borrowed)
    borrowed->AddRef();
  V_VT(&v.var_) = VT_DISPATCH;
  V_DISPATCH(&v.var_) = borrowed;
  return v;
}

Variant Variant::missing() {
  Variant v;
  V_VT(&v.var_) = VT_ERROR;
  V_ERROR(&v.var_) = DISP_E_PARAMNOTFOUND;
  return v;
}

void Variant::reset(const VARIANT& raw) {
  // Adopting our own contents would clear them first.
  if (&raw == &var_)
    return;
  reset();
  var_ = raw;
}

void Variant::reset() {
  // VariantClear only fails for a malformed VARIANT, which this holder never builds; the
  // VT_EMPTY afterwards keeps a later clear from touching the contents twice.
  VariantClear(&var_);
  VariantInit(&var_);
}

VARIANT Variant::release() {
  VARIANT out = var_;
  VariantInit(&var_);
  return out;
}

VARIANT* Variant::put() {
  reset();
  return &var_;
}

Variant Variant::copy() const {
  Variant duplicate;
  Check(VariantCopy(duplicate.get(), const_cast<VARIANT*>(&var_)), "VariantCopy");
  return duplicate;
}

}  // namespace morvane::com
