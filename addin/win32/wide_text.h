#pragma once

// Text between the portable core (UTF-16 in std::u16string) and the Win32 API.

#include <string>
#include <string_view>

namespace morvane::win32 {

// wchar_t is UTF-16 on Windows, so these only change the element type.
std::wstring ToWide(std::u16string_view text);
std::u16string FromWide(std::wstring_view text);

// UTF-8 (file names and messages of the tests, the scenario files) and wchar_t, as
// addin/model/utf8.h converts it: U+FFFD for what is not well-formed.
std::wstring WideFromUtf8(std::string_view bytes);
std::string Utf8FromWide(std::wstring_view text);

// The system's ANSI code page (CP_ACP), for the "A" functions. A character the code page lacks
// becomes the code page's default character, as the "A" functions would see it anyway.
std::string ToAnsiCodePage(std::u16string_view text);
std::u16string FromAnsiCodePage(std::string_view bytes);

}  // namespace morvane::win32
