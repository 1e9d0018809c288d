#pragma once

// Text between the scenario files (UTF-8), Windows (UTF-16 wchar_t) and the host model
// (char16_t), and paths between Linux and the Wine drive that maps it.

#include <string>
#include <string_view>

namespace morvane::e2e {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
std::u16string U16FromUtf8(std::string_view text);
std::string Utf8FromU16(std::u16string_view text);

// An HRESULT or SCODE as Windows writes it in messages: 0x800A03EC.
std::string Hex(long code);

// A Linux absolute path as Wine's Z: drive shows it; Windows paths pass through.
std::wstring WindowsPath(std::string_view path);

}  // namespace morvane::e2e
