#include "convert/cell_rewrite.h"

#include <string>
#include <variant>

#include "convert/rules/text_entry.h"

namespace morvane {

// The form of the write is decided before writing, so no cell ever passes through a retyped
// value that a refused repair could leave behind.
void ConvertCellText(host::Range& cell, const host::CellValue& value, CaseMode mode) {
  const auto* original = std::get_if<std::u16string>(&value);
  if (original == nullptr) {
    return;
  }
  const std::u16string converted = ApplyCase(*original, mode);
  if (converted != *original) {
    WriteTextAsText(cell, converted);
  }
}

}  // namespace morvane
