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

// The amount as Excel's Currency (a 64-bit count of ten-thousandths, at most
// 922,337,203,685,477.5807 either way), or nullopt when it does not fit: Excel then keeps a
// plain number, whatever the format.
std::optional<host::Currency> CurrencyOf(double amount);

}  // namespace morvane::sim
