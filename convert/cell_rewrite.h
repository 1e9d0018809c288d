#pragma once

#include "addin/host.h"
#include "convert/case_rules.h"

namespace morvane {

// Converts the text held in one cell. Only a text value is converted, and only a changed text
// is written, so numbers, dates, currency, logicals, errors and unchanged texts keep their
// exact value and type. The cell still holds a text afterwards, even when Excel reads the
// written text as something else, and a text that would begin a formula never becomes one, not
// even for a moment. A failed host call goes to the caller; the cell then holds its original
// text or the converted one.
void ConvertCellText(host::Range& cell, CaseMode mode);

}  // namespace morvane
