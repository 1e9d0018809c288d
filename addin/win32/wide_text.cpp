#include "addin/win32/wide_text.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace morvane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t holds UTF-16 code units");

std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

std::string ToAnsiCodePage(std::u16string_view text) {
  if (text.empty()) {
    return {};
  }
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long for the ANSI code page conversion");
  }
  const std::wstring wide = ToWide(text);
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    throw std::runtime_error("WideCharToMultiByte failed");
  }
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

}  // namespace morvane::win32
