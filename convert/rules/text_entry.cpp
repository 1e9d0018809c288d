#include "convert/rules/text_entry.h"

#include <string_view>

#include "convert/rules/typed_input.h"

namespace morvane {
namespace {

constexpr std::u16string_view kTextFormat = u"@";

bool NeedsTextPrefix(host::Range& cell, const std::u16string& text) {
  return MightBeReadAsOtherThanText(text) && cell.NumberFormat() != kTextFormat;
}

}  // namespace

void WriteTextAsText(host::Range& cell, const std::u16string& text) {
  cell.SetValue(NeedsTextPrefix(cell, text) ? u"'" + text : text);
}

}  // namespace morvane
