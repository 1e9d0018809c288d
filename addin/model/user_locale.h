#pragma once

// What the add-in needs of the user's regional settings: the decimal separator. The Windows
// build installs a reader of the user's locale; until one is installed the separator is ".".

#include <functional>

namespace morvane {

using DecimalSeparatorReader = std::function<char16_t()>;

// Installs the reader; an empty one puts "." back.
void InstallDecimalSeparatorReader(DecimalSeparatorReader reader);
// Asked afresh on every call, so a change of the user's settings takes effect at once.
char16_t UserDecimalSeparator();

}  // namespace morvane
