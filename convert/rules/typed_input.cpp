#include "convert/rules/typed_input.h"

#include <algorithm>
#include <array>
#include <string>

#include "convert/rules/case_rules.h"

namespace morvane {
namespace {

// Characters that make Excel read the entry as a formula, with the full-width forms an East
// Asian input method produces.
constexpr std::u16string_view kFormulaStarters = u"=+-@\uFF1D\uFF0B\uFF0D\uFF20";
// Characters that make Excel read the entry as an error value (#) or a prefixed text (').
constexpr std::u16string_view kOtherStarters = u"#'\uFF03\uFF07";

bool StartsSpecialEntry(char16_t c) {
  return kFormulaStarters.find(c) != std::u16string_view::npos ||
         kOtherStarters.find(c) != std::u16string_view::npos;
}

// Digits make numbers, dates, times, fractions, percentages and currency amounts; Excel also
// accepts full-width digits, and Arabic-Indic digits in those locales.
bool IsDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19) || (c >= 0x0660 && c <= 0x0669) ||
         (c >= 0x06F0 && c <= 0x06F9);
}

// TRUE and FALSE as Excel names them in its user-interface languages; a typed name becomes a
// logical in any letter case.
constexpr std::array<std::u16string_view, 30> kLogicalNames = {
    u"TRUE",       u"FALSE",    u"WAHR",   u"FALSCH",  u"VRAI",   u"FAUX",   u"VERDADERO", u"FALSO",
    u"VERDADEIRO", u"VERO",     u"WAAR",   u"ONWAAR",  u"SANT",   u"FALSKT", u"SAND",      u"FALSK",
    u"SANN",       u"USANN",    u"TOSI",   u"EPÄTOSI", u"PRAWDA", u"FAŁSZ",  u"IGAZ",      u"HAMIS",
    u"PRAVDA",     u"NEPRAVDA", u"ИСТИНА", u"ЛОЖЬ",    u"DOĞRU",  u"YANLIŞ",
};
constexpr std::size_t kLongestLogicalName = 10;

bool IsLogicalName(std::u16string_view text) {
  if (text.size() > kLongestLogicalName) {
    return false;
  }
  const std::u16string upper = ApplyCase(text, CaseMode::UpperCase);
  return std::find(kLogicalNames.begin(), kLogicalNames.end(), upper) != kLogicalNames.end();
}

// More letters than the longest value Excel reads from typed input in any language holds.
constexpr std::size_t kMostLettersOfAValue = 64;

// Letters of the scripts whose words can stand in a text; a character not listed here (digits,
// separators, symbols, spaces of every width) is never counted.
bool IsLetter(char16_t c) {
  const auto in = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
  return in(u'A', u'Z') || in(u'a', u'z') || (in(0x00C0, 0x024F) && c != 0x00D7 && c != 0x00F7) ||
         in(0x0386, 0x03FF) || in(0x0400, 0x04FF) || in(0x05D0, 0x05EA) || in(0x0621, 0x064A) ||
         in(0x3041, 0x30FA) || in(0x4E00, 0x9FFF) || in(0xAC00, 0xD7A3);
}

}  // namespace

bool SurelyReadAsItself(std::u16string_view text) {
  if (text.empty() || kFormulaStarters.find(text.front()) != std::u16string_view::npos ||
      text.front() == u'\'' || text.front() == u'\uFF07') {
    return false;
  }
  std::size_t letters = 0;
  for (const char16_t c : text) {
    if (IsLetter(c) && ++letters > kMostLettersOfAValue) {
      return true;
    }
  }
  return false;
}

bool MightBeReadAsOtherThanText(std::u16string_view text) {
  if (text.empty()) {
    return true;  // an empty write empties the cell
  }
  if (StartsSpecialEntry(text.front())) {
    return true;
  }
  if (std::any_of(text.begin(), text.end(), IsDigit)) {
    return true;
  }
  return IsLogicalName(text);
}

}  // namespace morvane
