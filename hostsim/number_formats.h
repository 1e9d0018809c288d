#pragma once

// Number formats: which kind a format is, and so which type a cell's Value gives.

#include <string>

#include "addin/model/host.h"

namespace morvane::sim {

enum class FormatKind { General, Text, Number, Date, Time, Currency };

// Value gives a Date under a date format, a Currency under a currency format, and a plain
// number under the others. The first section of the format decides.
FormatKind ClassifyFormat(const std::u16string& numberFormat);

// The Value a cell holding `stored` gives under `numberFormat`.
host::CellValue ValueUnderFormat(const host::CellValue& stored, const std::u16string& numberFormat);

}  // namespace morvane::sim
