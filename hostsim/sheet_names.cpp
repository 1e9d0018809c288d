#include "hostsim/sheet_names.h"

#include <algorithm>

namespace morvane::sim {
namespace {

// Upper-cases the letters whose case pairs sit at fixed offsets: ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and the full-width Latin letters. Other units compare as they are.
char16_t FoldCase(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
      (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F) ||
      (c >= 0xFF41 && c <= 0xFF5A)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c == 0xFF) {
    return 0x178;
  }
  if (c == 0x3C2) {  // final sigma
    return 0x3A3;
  }
  if (c >= 0x450 && c <= 0x45F) {
    return static_cast<char16_t>(c - 0x50);
  }
  const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if ((evenUpper && c % 2 == 1) || (oddUpper && c % 2 == 0)) {
    return static_cast<char16_t>(c - 1);
  }
  return c;
}

std::u16string Folded(const std::u16string& text) {
  std::u16string out = text;
  std::transform(out.begin(), out.end(), out.begin(), FoldCase);
  return out;
}

// Splits "Base (n)" into its base and n; n is 0 when the name has no such suffix.
std::pair<std::u16string, long> SplitCopySuffix(const std::u16string& name) {
  if (name.size() < 4 || name.back() != u')') {
    return {name, 0};
  }
  const std::size_t open = name.rfind(u" (");
  if (open == std::u16string::npos || open + 3 > name.size() - 1) {
    return {name, 0};
  }
  long n = 0;
  for (std::size_t i = open + 2; i + 1 < name.size(); ++i) {
    if (name[i] < u'0' || name[i] > u'9' || n > 100000) {
      return {name, 0};
    }
    n = n * 10 + (name[i] - u'0');
  }
  return {name.substr(0, open), n};
}

}  // namespace

bool IsValidSheetName(const std::u16string& name) {
  if (name.empty() || name.size() > kMaxSheetNameLength) {
    return false;
  }
  if (name.front() == u'\'' || name.back() == u'\'') {
    return false;
  }
  if (name.find_first_of(u":\\/?*[]") != std::u16string::npos ||
      name.find(u'\0') != std::u16string::npos) {
    return false;
  }
  return !SameSheetName(name, u"History");
}

bool SameSheetName(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() && Folded(a) == Folded(b);
}

std::u16string CopyName(const std::u16string& source,
                        const std::function<bool(const std::u16string&)>& taken) {
  const auto [base, number] = SplitCopySuffix(source);
  for (long n = std::max(number + 1, 2L);; ++n) {
    const std::u16string suffix = u" (" + [&] {
      std::u16string digits;
      for (char c : std::to_string(n)) {
        digits += static_cast<char16_t>(c);
      }
      return digits;
    }() + u")";
    std::u16string candidate = base.substr(0, kMaxSheetNameLength - suffix.size());
    // A cut must not leave an apostrophe or half a surrogate pair at the end.
    while (!candidate.empty() && (candidate.back() == u'\'' ||
                                  (candidate.back() >= 0xD800 && candidate.back() <= 0xDBFF))) {
      candidate.pop_back();
    }
    candidate += suffix;
    if (!taken(candidate)) {
      return candidate;
    }
  }
}

}  // namespace morvane::sim
