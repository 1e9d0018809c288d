#pragma once

#include <string_view>

namespace morvane {

// Excel reads a text written to a cell's value as if the user had typed it: "TRUE" becomes a
// logical, "#N/A" an error, "=A1" a formula, "1E5" a number, "JAN 5" a date, "'x" the text "x".
// This is a cheap test that is true for every text Excel might read as something other than
// the same text (and for some it would not): a text that is empty, starts with a character
// that begins a formula (= + - @, full-width forms included), an error or a prefix, holds a
// digit, or is a logical's name. Only those texts need the apostrophe prefix to stay texts; a
// formula written bare would be calculated on entry, even with calculation manual, and a
// formula can reach out (WEBSERVICE, DDE links).
bool MightBeReadAsOtherThanText(std::u16string_view text);

// The exact test for where the apostrophe prefix has no room: true only for a text that Excel,
// in any of its languages, keeps as this very text. Such a text does not begin a formula or a
// prefixed text, and it holds more letters than any number, date, time, logical or error value
// can (those are digits and separators with at most a month or day name, AM/PM, a currency or
// an era). A text made mostly of digits and punctuation is not claimed, even where it would stay.
bool SurelyReadAsItself(std::u16string_view text);

}  // namespace morvane
