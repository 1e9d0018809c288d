#pragma once

// Dates and times as Excel reads them from typed input (en-US), and Excel's serial day numbers.

#include <optional>
#include <string_view>

#include "hostsim/value_typing.h"

namespace morvane::sim {

// `s` is trimmed of spaces. A date (Date), a date with a time (Date), or a time alone (a plain
// number), with the format Excel gives a General cell; nullopt for anything else, including
// dates that do not exist. Dates typed without a year fall in `currentYear`.
std::optional<TypedInput> ReadTypedDateTime(std::string_view s, int currentYear);

// Excel's serial day number (1900 date system, with its 29 February 1900) for a date, or -1
// when the date does not exist or lies outside 1900-01-01..9999-12-31.
double DateSerial(int year, int month, int day);

// The year of today's date on this machine.
int CurrentYear();

}  // namespace morvane::sim
