#pragma once

// Numbers as Excel reads them from typed input (en-US): plain, grouped, decimal, scientific,
// percent, negative in parentheses, currency, and whole numbers with a fraction.

#include <optional>
#include <string_view>

#include "hostsim/value_typing.h"

namespace morvane::sim {

// `s` is trimmed of spaces. Gives the number (Currency for "$5") and the format Excel gives a
// General cell, or nullopt when the text is no number.
std::optional<TypedInput> ReadTypedNumber(std::string_view s);

}  // namespace morvane::sim
