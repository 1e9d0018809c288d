#include "tests/e2e/harness_text.h"

#include <cstdio>

namespace morvane::e2e {

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
