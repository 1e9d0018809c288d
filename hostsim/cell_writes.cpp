// A Value write into one cell: text is read as typed input, the apostrophe prefix sticks, and a
// General cell takes the format the value implies.

#include "hostsim/state.h"
#include "hostsim/value_typing.h"

namespace morvane::sim {
namespace {

constexpr char16_t kGeneral[] = u"General";
constexpr char16_t kTextFormat[] = u"@";

void WriteText(CellContent& cell, const std::u16string& text, int currentYear) {
  if (cell.numberFormat == kTextFormat && !text.empty()) {
    cell.formula.clear();
    cell.value = text;
    return;
  }
  TypedInput typed = ReadTypedInput(text, currentYear);
  cell.formula = std::move(typed.formula);
  // No calculation engine: a formula written here has no result until a test gives it one.
  cell.value = cell.formula.empty() ? std::move(typed.value) : host::CellValue{host::Empty{}};
  if (typed.prefix) {
    cell.prefix = true;
  } else if (cell.HasFormula() || (!std::holds_alternative<std::u16string>(cell.value) &&
                                   !std::holds_alternative<host::Empty>(cell.value))) {
    cell.prefix = false;
  }
  if (!typed.numberFormat.empty() && cell.numberFormat == kGeneral) {
    cell.numberFormat = std::move(typed.numberFormat);
  }
}

}  // namespace

void WriteValue(CellContent& cell, const host::CellValue& value, int currentYear) {
  if (const auto* text = std::get_if<std::u16string>(&value)) {
    WriteText(cell, *text, currentYear);
    return;
  }
  cell.formula.clear();
  cell.value = value;
  if (!std::holds_alternative<host::Empty>(value)) {
    cell.prefix = false;
  }
  if (cell.numberFormat == kGeneral) {
    if (std::holds_alternative<host::Date>(value)) {
      cell.numberFormat = u"m/d/yyyy";
    } else if (std::holds_alternative<host::Currency>(value)) {
      cell.numberFormat = u"$#,##0.00";
    }
  }
}

}  // namespace morvane::sim
