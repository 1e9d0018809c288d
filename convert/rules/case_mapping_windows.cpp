#include <windows.h>

#include <string>
#include <vector>

#include "convert/rules/case_mapping.h"

namespace morvane::case_mapping {
namespace {

// Wine 8 rejects the LOCALE_NAME_SYSTEM_DEFAULT shorthand with ERROR_INVALID_PARAMETER;
// the name looked up here works on both Windows and Wine.
const wchar_t* SystemLocaleName() {
  static const std::wstring name = [] {
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetSystemDefaultLocaleName(buffer, LOCALE_NAME_MAX_LENGTH) == 0) {
      return std::wstring(LOCALE_NAME_INVARIANT);
    }
    return std::wstring(buffer);
  }();
  return name.c_str();
}

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// Maps one run through LCMapStringEx. Returns false when the system did not give back
// exactly one code unit per input code unit.
bool MapRun(const char16_t* source, char16_t* target, int length, DWORD flags) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const int written =
      LCMapStringEx(SystemLocaleName(), flags, reinterpret_cast<const wchar_t*>(source), length,
                    reinterpret_cast<wchar_t*>(target), length, nullptr, nullptr, 0);
  return written == length;
}

}  // namespace

void MapInPlace(char16_t* text, std::size_t length, Direction direction) {
  if (length == 0) {
    return;
  }
  const DWORD flags = direction == Direction::ToUpper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE;
  std::vector<char16_t> mapped(length);
  const bool whole_run =
      length <= 0x7FFFFFFF && MapRun(text, mapped.data(), static_cast<int>(length), flags);
  std::size_t i = 0;
  while (i < length) {
    const bool pair = IsHigh(text[i]) && i + 1 < length && IsLow(text[i + 1]);
    const std::size_t width = pair ? 2 : 1;
    if (!pair && IsSurrogate(text[i])) {
      ++i;  // an unpaired surrogate passes unchanged
      continue;
    }
    char16_t one[2] = {};
    const char16_t* result = &mapped[i];
    if (!whole_run) {
      // The system changed the run's length somewhere: map character by character so that only
      // the characters whose mapping changes length are left alone.
      result = MapRun(&text[i], one, static_cast<int>(width), flags) ? one : &text[i];
    }
    const bool same_shape =
        pair ? (IsHigh(result[0]) && IsLow(result[1])) : !IsSurrogate(result[0]);
    if (same_shape) {
      text[i] = result[0];
      if (pair) {
        text[i + 1] = result[1];
      }
    }
    i += width;
  }
}

}  // namespace morvane::case_mapping
