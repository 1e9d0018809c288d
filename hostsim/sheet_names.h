#pragma once

// Excel's rules for sheet names: what a valid name is, when two names are the same, and the
// name Excel gives a copy.

#include <functional>
#include <string>

namespace morvane::sim {

inline constexpr std::size_t kMaxSheetNameLength = 31;

// 1 to 31 UTF-16 units, none of : \ / ? * [ ], not starting or ending with an apostrophe,
// and not the reserved name "History".
bool IsValidSheetName(const std::u16string& name);

// Sheet names are unique without regard to letter case.
bool SameSheetName(const std::u16string& a, const std::u16string& b);

// The name of a copy of `source`: "Name (2)", or the next free number. A source already named
// "Name (n)" counts on from its base name. When the result would exceed 31 units, the base is
// cut so that " (n)" still fits.
std::u16string CopyName(const std::u16string& source,
                        const std::function<bool(const std::u16string&)>& taken);

}  // namespace morvane::sim
