#pragma once

// Cell values in scenario files: "text" in quotes, numbers as written (5, -1.5, 1e5), TRUE and
// FALSE, error values (#N/A, #DIV/0!, ...), empty, date:<serial day> and currency:<amount>.

#include <optional>
#include <string>

#include "addin/model/host.h"
#include "tests/e2e/scenario.h"

namespace morvane::e2e {

// Nothing when the word is no value.
std::optional<host::CellValue> ParseCellValue(const Word& word);

// The value as a scenario would write it (UTF-8), for messages.
std::string FormatCellValue(const host::CellValue& value);

}  // namespace morvane::e2e
