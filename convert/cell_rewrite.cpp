#include "convert/cell_rewrite.h"

#include <string>
#include <variant>

#include "addin/continue_on_error.h"
#include "convert/typed_input.h"

namespace morvane {
namespace {

// Whether the cell holds exactly this text. A read that fails counts as no, so that the
// caller makes sure of it.
bool HoldsText(host::Range& cell, const std::u16string& text) noexcept {
  bool holds = false;
  RunStep([&] {
    const host::CellValue value = cell.Value();
    const auto* held = std::get_if<std::u16string>(&value);
    holds = held != nullptr && *held == text;
  });
  return holds;
}

// A leading apostrophe makes Excel keep the rest as text. If even that write fails, the
// original text goes back the same way, so the cell never keeps a value of another type.
void WriteAsText(host::Range& cell, const std::u16string& converted,
                 const std::u16string& original) {
  try {
    cell.SetValue(u"'" + converted);
  } catch (...) {
    RunStep([&] { cell.SetValue(u"'" + original); });
    throw;
  }
}

// A text that Excel would take for a formula goes in as a text at once, never bare. A
// Text-formatted cell keeps what it is given as it is, apostrophe included; there the bare text
// stays a text, and replaces it.
void WriteFormulaLikeText(host::Range& cell, const std::u16string& converted,
                          const std::u16string& original) {
  const std::u16string prefixed = u"'" + converted;
  cell.SetValue(prefixed);
  if (HoldsText(cell, prefixed)) {
    try {
      cell.SetValue(converted);
    } catch (...) {
      RunStep([&] { cell.SetValue(original); });
      throw;
    }
  }
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
  if (BeginsFormula(converted)) {
    WriteFormulaLikeText(cell, converted, *original);
    return;
  }
  cell.SetValue(converted);
  if (MightBeReadAsOtherThanText(converted) && !HoldsText(cell, converted)) {
    WriteAsText(cell, converted, *original);
  }
}

}  // namespace morvane
