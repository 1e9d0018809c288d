#pragma once

// Small scanners over ASCII text, shared by the readers of typed numbers and dates.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::sim::scan {

// The text as ASCII, or nothing when it holds another character: entered text that is not plain
// ASCII is never a number, date, logical, error value or address.
inline std::optional<std::string> Ascii(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (c >= 0x80) {
      return std::nullopt;
    }
    out += static_cast<char>(c);
  }
  return out;
}

inline char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

inline std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') {
    s.remove_prefix(1);
  }
  while (!s.empty() && s.back() == ' ') {
    s.remove_suffix(1);
  }
  return s;
}

// Takes up to maxDigits digits from the front of s; nullopt (and s untouched) when there are
// none or too many.
inline std::optional<long> TakeNumber(std::string_view& s, std::size_t maxDigits,
                                      std::size_t* length = nullptr) {
  std::size_t i = 0;
  long value = 0;
  while (i < s.size() && IsDigit(s[i])) {
    if (i == maxDigits) {
      return std::nullopt;
    }
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  if (i == 0) {
    return std::nullopt;
  }
  if (length != nullptr) {
    *length = i;
  }
  s.remove_prefix(i);
  return value;
}

}  // namespace morvane::sim::scan
