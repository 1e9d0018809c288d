#pragma once

#include <string>
#include <string_view>

namespace morvane {

// The four conversions, in the order of the wizard's options.
enum class CaseMode { UpperCase, LowerCase, TitleCase, SentenceCase };

// Converts one cell's text. Never fails; the result always has the input's length in UTF-16
// code units, because every rule replaces a character by exactly one character of the same
// length or keeps it.
//
// UPPER CASE, lower case and Title Case use the simple (one-to-one) case mapping of the
// system's default locale; a valid surrogate pair maps as one character and an unpaired
// surrogate passes unchanged. Sentence case looks only at the basic Latin letters and at
// "." and "?", one code unit at a time, with no locale.
std::u16string ApplyCase(std::u16string_view text, CaseMode mode);

}  // namespace morvane
