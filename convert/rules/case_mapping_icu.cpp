#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "convert/rules/case_mapping.h"

namespace morvane::case_mapping {

void MapInPlace(char16_t* text, std::size_t length, Direction direction) {
  std::size_t i = 0;
  while (i < length) {
    const std::size_t start = i;
    UChar32 c;
    U16_NEXT(text, i, length, c);
    if (U_IS_SURROGATE(c)) {
      continue;  // an unpaired surrogate is not a character of its own
    }
    const UChar32 mapped = direction == Direction::ToUpper ? u_toupper(c) : u_tolower(c);
    if (mapped == c || U16_LENGTH(mapped) != static_cast<int32_t>(i - start)) {
      continue;
    }
    std::size_t out = start;  // same length as the original, checked above
    U16_APPEND_UNSAFE(text, out, mapped);
  }
}

}  // namespace morvane::case_mapping
