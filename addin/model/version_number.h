#pragma once

// Excel's Version text read as a number.

#include <optional>
#include <string_view>

namespace morvane {

// Reads a version text such as "11.0" as a number. Either "." or the user's decimal separator
// may stand before the fraction: reading "11.0" by a comma locale's rules alone would make it
// 110, and an Excel 2003 there would lose its menu. Surrounding spaces are allowed; anything
// else that is not digits with at most one separator is no number.
std::optional<double> ReadVersionNumber(std::u16string_view text, char16_t userDecimalSeparator);

}  // namespace morvane
