#include "convert/rules/text_entry.h"

#include <cstddef>
#include <string_view>

#include "convert/rules/typed_input.h"

namespace morvane {
namespace {

constexpr std::u16string_view kTextFormat = u"@";
// The most UTF-16 units a cell holds; a text of that length has no room for the prefix.
constexpr std::size_t kMaxCellText = 32767;

bool NeedsTextPrefix(host::Range& cell, const std::u16string& text) {
  if (!MightBeReadAsOtherThanText(text)) {
    return false;
  }
  // At the limit the prefixed write would be refused, so the exact test decides there: a text
  // Excel keeps as it is goes in bare, one it would misread is left to be refused and reported.
  if (text.size() >= kMaxCellText && SurelyReadAsItself(text)) {
    return false;
  }
  return cell.NumberFormat() != kTextFormat;
}

}  // namespace

void WriteTextAsText(host::Range& cell, const std::u16string& text) {
  cell.SetValue(NeedsTextPrefix(cell, text) ? u"'" + text : text);
}

}  // namespace morvane
