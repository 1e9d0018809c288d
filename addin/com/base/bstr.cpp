#include "addin/com/base/bstr.h"

#include <new>
#include <utility>

#include "addin/win32/wide_text.h"

namespace morvane::com {
namespace {

BSTR AllocOrThrow(const wchar_t* text, std::size_t length) {
  BSTR str = SysAllocStringLen(text, static_cast<UINT>(length));
  if (!str)
    throw std::bad_alloc();
  return str;
}

}  // namespace

Bstr::Bstr(std::u16string_view text) {
  // On Windows wchar_t and char16_t are both UTF-16 code units.
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  str_ = AllocOrThrow(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

Bstr::Bstr(std::wstring_view text) : str_(AllocOrThrow(text.data(), text.size())) {}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other)
    reset(other.release());
  return *this;
}

void Bstr::reset(BSTR raw) {
  BSTR old = std::exchange(str_, raw);
  if (old != raw)
    SysFreeString(old);
}

BSTR Bstr::release() {
  return std::exchange(str_, nullptr);
}

BSTR* Bstr::put() {
  reset();
  return &str_;
}

Bstr Bstr::copy() const {
  Bstr duplicate;
  if (str_)
    duplicate.reset(AllocOrThrow(str_, length()));
  return duplicate;
}

std::u16string Bstr::to_u16string() const {
  return BstrText(str_);
}

std::u16string BstrText(BSTR text) {
  return win32::FromWide({text ? text : L"", SysStringLen(text)});
}

}  // namespace morvane::com
