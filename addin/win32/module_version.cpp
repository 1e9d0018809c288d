#include "addin/win32/module_version.h"

#include <windows.h>
#include <winver.h>

#include <cstring>
#include <string>

namespace morvane::win32 {
namespace {

// VS_VERSIONINFO begins with three WORDs and the key L"VS_VERSION_INFO" (16 WCHARs with its
// terminator), padded to a 32-bit boundary; VS_FIXEDFILEINFO follows. Read in place, so the
// add-in needs no import from version.dll.
constexpr std::size_t kFixedInfoOffset = 40;

}  // namespace

std::u16string ModuleFileVersion(HINSTANCE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
  if (!bytes || SizeofResource(module, found) < kFixedInfoOffset + sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, bytes + kFixedInfoOffset, sizeof info);
  if (info.dwSignature != 0xFEEF04BD) {
    return {};
  }
  std::u16string text;
  for (DWORD part : {HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                     HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS)}) {
    if (!text.empty()) {
      text += u'.';
    }
    for (char digit : std::to_string(part)) {
      text += static_cast<char16_t>(digit);
    }
  }
  return text;
}

}  // namespace morvane::win32
