#include "addin/win32/wide_text.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <system_error>

#include "addin/model/utf8.h"

namespace morvane::win32 {
namespace {

// The code page functions take int lengths.
int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long for a code page conversion");
  }
  return static_cast<int>(size);
}

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t holds UTF-16 code units");

std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

std::wstring WideFromUtf8(std::string_view bytes) {
  return ToWide(Utf8ToUtf16(bytes));
}

std::string Utf8FromWide(std::wstring_view text) {
  return Utf16ToUtf8(FromWide(text));
}

std::string ToAnsiCodePage(std::u16string_view text) {
  // The conversion functions reject an empty input as an invalid parameter.
  if (text.empty()) {
    return {};
  }
  const std::wstring wide = ToWide(text);
  const int length = CheckedLength(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    ThrowLastError("WideCharToMultiByte");
  }
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::u16string FromAnsiCodePage(std::string_view bytes) {
  if (bytes.empty()) {
    return {};
  }
  const int length = CheckedLength(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) {
    ThrowLastError("MultiByteToWideChar");
  }
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), needed) != needed) {
    ThrowLastError("MultiByteToWideChar");
  }
  return FromWide(wide);
}

}  // namespace morvane::win32
