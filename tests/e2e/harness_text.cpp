#include "tests/e2e/harness_text.h"

#include <windows.h>

#include <cstdio>

namespace morvane::e2e {

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::u16string U16FromUtf8(std::string_view text) {
  const std::wstring wide = WideFromUtf8(text);
  return std::u16string(wide.begin(), wide.end());
}

std::string Utf8FromU16(std::u16string_view text) {
  return Utf8FromWide(std::wstring(text.begin(), text.end()));
}

std::string Hex(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

std::wstring WindowsPath(std::string_view path) {
  std::wstring out = WideFromUtf8(path);
  if (!out.empty() && out[0] == L'/') {
    out.insert(0, L"Z:");
    for (wchar_t& c : out) {
      if (c == L'/') {
        c = L'\\';
      }
    }
  }
  return out;
}

}  // namespace morvane::e2e
