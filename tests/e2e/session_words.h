#pragma once

// What the session's lines have in common: scenario words as host text, caption paths, cell
// lists, and the menu bar the classic menu lives on.

#include <string>
#include <vector>

#include "tests/e2e/scenario.h"

namespace morvane::e2e {

inline constexpr const char16_t* kMenuBar = u"Worksheet Menu Bar";

std::u16string U16(const Word& word);
// "&Morvane / &Morvane &Wizard": the captions on the way to a button.
std::vector<std::u16string> CaptionPath(const std::string& text);
// Every cell of an address ("A1:B2,D4"), row by row.
std::vector<std::string> Cells(const std::string& address);

}  // namespace morvane::e2e
