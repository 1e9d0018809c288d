#pragma once

#include <cstddef>

// The platform's simple case mapping, one small implementation per platform
// (ICU on Linux, LCMapStringEx on Windows). The rules in case_rules.cpp decide what to map;
// these functions only map.
namespace morvane::case_mapping {

enum class Direction { ToUpper, ToLower };

// Maps text[0, length) in place. Guarantees, whatever the platform answers: every character
// keeps its length in code units (a mapping that would change it leaves the character as it
// is), a valid surrogate pair maps as one character, and an unpaired surrogate is unchanged.
void MapInPlace(char16_t* text, std::size_t length, Direction direction);

}  // namespace morvane::case_mapping
