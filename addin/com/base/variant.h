#pragma once

// Variant: owns one VARIANT and whatever it holds (BSTR, interface reference, SAFEARRAY).
// Exactly the size of a VARIANT, so a std::array<Variant, N> can back DISPPARAMS::rgvarg.

#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <string_view>

namespace morvane::com {

class Variant {
 public:
  Variant() { VariantInit(&var_); }
  Variant(Variant&& other) noexcept : var_(other.release()) {}
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { reset(); }

  // Named constructors: each says which VARTYPE it makes.
  static Variant of_bool(bool value);         // VT_BOOL, VARIANT_TRUE / VARIANT_FALSE
  static Variant of_int(std::int32_t value);  // VT_I4
  static Variant of_double(double value);     // VT_R8
  // NOTE: copies the text into a new BSTR (VT_BSTR).
  static Variant of_string(std::u16string_view text);
  // AddRefs the argument (VT_DISPATCH; null gives a VT_DISPATCH holding null).
  static Variant of_dispatch(IDispatch* borrowed);
  // An omitted optional argument: VT_ERROR with DISP_E_PARAMNOTFOUND.
  static Variant missing();

  VARIANT* get() { return &var_; }
  const VARIANT* get() const { return &var_; }
  VARTYPE vt() const { return V_VT(&var_); }

  // Clears the current value, then takes ownership of raw's contents (no copy, no AddRef).
  void reset(const VARIANT& raw);
  // Clears the current value (VariantClear), leaving VT_EMPTY.
  void reset();
  // Gives up ownership of the contents: the caller must VariantClear the result.
  [[nodiscard]] VARIANT release();
  // Clears the current value before returning the address, for an out-param.
  VARIANT* put();
  // A deep copy (VariantCopy: BSTRs duplicated, interfaces AddRef'd); throws ComError.
  Variant copy() const;

 private:
  VARIANT var_;
};

static_assert(sizeof(Variant) == sizeof(VARIANT));

}  // namespace morvane::com
