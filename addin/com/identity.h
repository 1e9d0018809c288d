#pragma once

// Who the add-in is to COM: its identifiers as GUIDs and in their registry text form, both
// derived at compile time from the single list in guids.h, plus the names registered with them.

#include <windows.h>

#include <array>
#include <string_view>

#include "addin/com/guids.h"
#include "addin/model/add_in_identity.h"

namespace morvane::com {

namespace detail {

consteval unsigned HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F')
    return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f')
    return static_cast<unsigned>(c - 'a' + 10);
  throw "not a hexadecimal digit";  // a compile-time error: consteval cannot throw
}

consteval unsigned long long Hex(std::string_view text, std::size_t from, std::size_t count) {
  unsigned long long value = 0;
  for (std::size_t i = from; i < from + count; ++i)
    value = value * 16 + HexDigit(text[i]);
  return value;
}

}  // namespace detail

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" to a GUID, at compile time; malformed text does not
// compile.
consteval GUID ParseGuid(std::string_view text) {
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-') {
    throw "not a GUID";
  }
  GUID guid{};
  guid.Data1 = static_cast<decltype(guid.Data1)>(detail::Hex(text, 0, 8));
  guid.Data2 = static_cast<unsigned short>(detail::Hex(text, 9, 4));
  guid.Data3 = static_cast<unsigned short>(detail::Hex(text, 14, 4));
  guid.Data4[0] = static_cast<unsigned char>(detail::Hex(text, 19, 2));
  guid.Data4[1] = static_cast<unsigned char>(detail::Hex(text, 21, 2));
  for (std::size_t i = 0; i < 6; ++i) {
    guid.Data4[2 + i] = static_cast<unsigned char>(detail::Hex(text, 24 + 2 * i, 2));
  }
  return guid;
}

// The registry's text form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", null-terminated.
using GuidText = std::array<wchar_t, 39>;

constexpr GuidText FormatGuid(const GUID& guid) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  GuidText text{};
  std::size_t at = 0;
  auto put = [&](unsigned long long value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      text[at++] = kDigits[(value >> shift) & 0xF];
  };
  text[at++] = L'{';
  put(guid.Data1, 8);
  text[at++] = L'-';
  put(guid.Data2, 4);
  text[at++] = L'-';
  put(guid.Data3, 4);
  text[at++] = L'-';
  put(guid.Data4[0], 2);
  put(guid.Data4[1], 2);
  text[at++] = L'-';
  for (int i = 2; i < 8; ++i)
    put(guid.Data4[i], 2);
  text[at++] = L'}';
  text[at] = L'\0';
  return text;
}

inline constexpr GUID kLibId = ParseGuid(MORVANE_LIBID);
inline constexpr GUID kClsidConnect = ParseGuid(MORVANE_CLSID_CONNECT);
inline constexpr GUID kIidConnect = ParseGuid(MORVANE_IID_CONNECT);
inline constexpr GUID kClsidCbMorvane = ParseGuid(MORVANE_CLSID_CBMORVANE);
inline constexpr GUID kIidCbMorvane = ParseGuid(MORVANE_IID_CBMORVANE);

inline constexpr GuidText kLibIdText = FormatGuid(kLibId);
inline constexpr GuidText kClsidConnectText = FormatGuid(kClsidConnect);

// Excel's _Application, the interface the host object is asked for at connection.
inline constexpr GUID kIidExcelApplication = ParseGuid("000208D5-0000-0000-C000-000000000046");

// The type library "Morvane" 1.0, locale neutral.
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;
#ifdef _WIN64
inline constexpr SYSKIND kTypeLibSysKind = SYS_WIN64;
#else
inline constexpr SYSKIND kTypeLibSysKind = SYS_WIN32;
#endif

// The ProgID, as the portable code names it (addin/model/add_in_identity.h).
template <std::size_t N>
constexpr std::array<wchar_t, N + 1> Widen(std::u16string_view text) {
  std::array<wchar_t, N + 1> wide{};
  for (std::size_t i = 0; i < N; ++i)
    wide[i] = static_cast<wchar_t>(text[i]);
  return wide;
}
inline constexpr auto kProgIdChars = Widen<kProgId.size()>(kProgId);
inline constexpr std::wstring_view kProgIdText{kProgIdChars.data(), kProgId.size()};

// The add-in entry's texts in Excel's list of COM add-ins.
inline constexpr std::wstring_view kFriendlyName = L"Morvane";
inline constexpr std::wstring_view kAddInDescription = L"Add-In Project Template";

}  // namespace morvane::com
