#pragma once

// Putting a text into a cell so that Excel keeps it as that very text.

#include <string>

#include "addin/model/host.h"

namespace morvane {

// Writes `text` into the one-cell range in one write. Excel reads a written text as typed
// input: where it might read this text as a number, date, logical, error or formula, the
// apostrophe prefix keeps it a text without giving the cell a new number format. A
// Text-formatted cell keeps every text literally, apostrophe included, so there it goes bare;
// the cell's format is read only for the texts that need the decision. A text at Excel's
// 32,767-unit limit has no room for the prefix: it goes in bare when Excel surely keeps it as it
// is; otherwise the prefixed write is refused. A failed call goes to the caller with the cell
// untouched.
void WriteTextAsText(host::Range& cell, const std::u16string& text);

}  // namespace morvane
