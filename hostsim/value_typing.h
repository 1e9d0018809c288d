#pragma once

// How Excel reads text entered into a cell (typed by the user, or written to Range.Value as a
// string), and how a cell's number format decides the type that Value gives back.

#include <string>

#include "addin/host.h"

namespace morvane::sim {

// What a piece of entered text becomes.
struct TypedInput {
  host::CellValue value;        // Empty, text, number, Date, logical, Currency or error value
  std::u16string formula;       // non-empty when the text is a formula
  bool prefix = false;          // a leading apostrophe was taken as the prefix
  std::u16string numberFormat;  // the format Excel gives a General cell; empty: none
};

// Reads text as Excel reads typed input in the en-US locale. Dates without a year fall in
// `currentYear`.
TypedInput ReadTypedInput(const std::u16string& text, int currentYear);

// The year of today's date on this machine.
int CurrentYear();

enum class FormatKind { General, Text, Number, Date, Time, Currency };

// Which kind of number format this is: Value gives a Date for a date format, a Currency for a
// currency format, and a plain number for the others.
FormatKind ClassifyFormat(const std::u16string& numberFormat);

// Excel's serial day number (1900 date system, with its 29 February 1900) for a date, or -1
// when the date does not exist or lies outside 1900-01-01..9999-12-31.
double DateSerial(int year, int month, int day);

// The Value a cell holding `stored` gives under `numberFormat`.
host::CellValue ValueUnderFormat(const host::CellValue& stored, const std::u16string& numberFormat);

}  // namespace morvane::sim
