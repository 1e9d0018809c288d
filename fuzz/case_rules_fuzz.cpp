// The case rules against their properties: every rule keeps the length, UPPER and lower case
// are idempotent, and the vectorised passes agree with a one-unit-at-a-time reading of the
// rules (all of sentence case, and the other three on ASCII text).

#include <algorithm>

#include "convert/rules/case_rules.h"
#include "fuzz/fuzz_input.h"

namespace morvane::fuzz {
namespace {

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
char16_t Upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - 32 : c;
}
char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + 32 : c;
}
bool IsWordSeparator(char16_t c) {
  return c == 0 || (c >= 9 && c <= 13) || c == u' ';
}

// A letter is a capital exactly when the last letter or sentence end before it is an end.
std::u16string SentenceReference(const std::u16string& text) {
  std::u16string out = text;
  bool capital = true;
  for (char16_t& c : out) {
    if (IsAsciiLetter(c)) {
      c = capital ? Upper(c) : Lower(c);
      capital = false;
    } else if (c == u'.' || c == u'?') {
      capital = true;
    }
  }
  return out;
}

std::u16string AsciiReference(const std::u16string& text, CaseMode mode) {
  std::u16string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const bool wordStart = i == 0 || IsWordSeparator(text[i - 1]);
    out[i] = mode == CaseMode::UpperCase || (mode == CaseMode::TitleCase && wordStart)
                 ? Upper(out[i])
                 : Lower(out[i]);
  }
  return out;
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  using namespace morvane::fuzz;
  const std::u16string text = TextFrom(data, size);
  const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
  for (CaseMode mode :
       {CaseMode::UpperCase, CaseMode::LowerCase, CaseMode::TitleCase, CaseMode::SentenceCase}) {
    const std::u16string once = ApplyCase(text, mode);
    Require(once.size() == text.size(), "the length is kept");
    if (mode == CaseMode::UpperCase || mode == CaseMode::LowerCase) {
      Require(ApplyCase(once, mode) == once, "UPPER and lower case are idempotent");
    }
    if (mode == CaseMode::SentenceCase) {
      Require(once == SentenceReference(text), "sentence case follows its rule");
    } else if (ascii) {
      Require(once == AsciiReference(text, mode), "ASCII text follows the plain rule");
    }
  }
  return 0;
}
