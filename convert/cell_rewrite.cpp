#include "convert/cell_rewrite.h"

#include <string>
#include <variant>

#include "convert/typed_input.h"

namespace morvane {
namespace {

// Excel's Text number format: the cell keeps every text it is given literally, a leading
// apostrophe included.
constexpr std::u16string_view kTextFormat = u"@";

// Excel reads a written text as typed input. Where it might read the text as a number, date,
// logical, error or formula, the apostrophe prefix keeps it a text without giving the cell a
// new number format; only a Text-formatted cell would keep that apostrophe as a character, so
// only for those texts is the cell's format read. Deciding before the write means no cell ever
// passes through a retyped value that a refused repair could leave behind.
bool NeedsTextPrefix(host::Range& cell, const std::u16string& text) {
  return MightBeReadAsOtherThanText(text) && cell.NumberFormat() != kTextFormat;
}

}  // namespace

void ConvertCellText(host::Range& cell, CaseMode mode) {
  const host::CellValue value = cell.Value();
  const auto* original = std::get_if<std::u16string>(&value);
  if (original == nullptr) {
    return;
  }
  const std::u16string converted = ApplyCase(*original, mode);
  if (converted == *original) {
    return;
  }
  // A prefixed text one unit over Excel's cell limit is refused, and the cell stays as it was.
  cell.SetValue(NeedsTextPrefix(cell, converted) ? u"'" + converted : converted);
}

}  // namespace morvane
