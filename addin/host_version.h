#pragma once

// The host-version test: hosts up to version 11 (Excel 2003) show the classic menu, later ones
// the ribbon.

#include <optional>
#include <string_view>

namespace morvane {

// Reads a version text such as "11.0" as a number. Either "." or the user's decimal separator
// may stand before the fraction: reading "11.0" by a comma locale's rules alone would make it
// 110, and an Excel 2003 there would lose its menu. Surrounding spaces are allowed; anything
// else that is not digits with at most one separator is no number.
std::optional<double> ReadVersionNumber(std::u16string_view text, char16_t userDecimalSeparator);

// Asks the host in xlApp for its version. True for a version of 11 or lower; a text that is not
// a number counts as classic too. A failed host call goes to the caller, which counts it as
// classic as well.
bool IsClassicHost();

}  // namespace morvane
