#pragma once

// Bstr: owns one BSTR (SysAllocString memory). Move-only; copy() makes an explicit duplicate.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

namespace morvane::com {

class Bstr {
 public:
  Bstr() = default;
  // NOTE: copies the text into a new BSTR; throws std::bad_alloc when that fails.
  explicit Bstr(std::u16string_view text);
  // NOTE: copies the text into a new BSTR; throws std::bad_alloc when that fails.
  explicit Bstr(std::wstring_view text);
  Bstr(Bstr&& other) noexcept : str_(other.release()) {}
  Bstr& operator=(Bstr&& other) noexcept;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { reset(); }

  // Null is a valid BSTR: the empty string.
  BSTR get() const { return str_; }
  // Frees the current string, then takes ownership of raw (no copy).
  void reset(BSTR raw = nullptr);
  // Gives up ownership: the caller must SysFreeString the result.
  [[nodiscard]] BSTR release();
  // Frees the current string before returning the address, for an out-param.
  BSTR* put();
  // A new, independently owned BSTR with the same text (length-exact, embedded nulls kept).
  Bstr copy() const;

  std::size_t length() const { return SysStringLen(str_); }
  std::wstring_view view() const { return {str_ ? str_ : L"", length()}; }
  std::u16string to_u16string() const;

 private:
  BSTR str_ = nullptr;
};

// The text of a BSTR owned elsewhere (a VARIANT's, an argument); null is the empty text.
std::u16string BstrText(BSTR text);

}  // namespace morvane::com
