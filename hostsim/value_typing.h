#pragma once

// How Excel reads text entered into a cell (typed by the user, or written to Range.Value as a
// string): empty, prefixed text, formula, logical, error value, number, date, or text.

#include <string>

#include "addin/model/host.h"

namespace morvane::sim {

// What a piece of entered text becomes.
struct TypedInput {
  host::CellValue value;        // Empty, text, number, Date, logical, Currency or error value
  std::u16string formula;       // non-empty when the text is a formula
  bool prefix = false;          // a leading apostrophe was taken as the prefix
  std::u16string numberFormat;  // the format Excel gives a General cell; empty: none
};

inline TypedInput TypedConstant(host::CellValue value, std::u16string numberFormat = {}) {
  return {std::move(value), {}, false, std::move(numberFormat)};
}

// Reads text as Excel reads typed input in the en-US locale. Dates without a year fall in
// `currentYear`.
TypedInput ReadTypedInput(const std::u16string& text, int currentYear);

}  // namespace morvane::sim
