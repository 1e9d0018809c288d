#pragma once

#include "addin/model/host.h"
#include "convert/rules/case_rules.h"

namespace morvane {

// Converts the text `value` that one cell holds (as read) with a single write, already in its final
// form. Only a text value is converted, and only a changed text is written, so numbers, dates,
// currency, logicals, errors and unchanged texts keep their exact value and type. The written text
// stays a text, keeps the cell's number format, and never begins a formula, not even for a moment.
// A failed host call goes to the caller; the cell then holds its original text, untouched.
void ConvertCellText(host::Range& cell, const host::CellValue& value, CaseMode mode);

}  // namespace morvane
