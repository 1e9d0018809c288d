#include "addin/model/version_number.h"

#include <charconv>
#include <string>

namespace morvane {
namespace {

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

std::optional<double> ReadVersionNumber(std::u16string_view text, char16_t userDecimalSeparator) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  std::string ascii;
  bool separatorSeen = false;
  bool digitSeen = false;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      ascii += static_cast<char>(c);
      digitSeen = true;
    } else if ((c == u'.' || c == userDecimalSeparator) && !separatorSeen) {
      ascii += '.';
      separatorSeen = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digitSeen) {
    return std::nullopt;
  }
  double number = 0;
  const char* end = ascii.data() + ascii.size();
  auto [stop, error] = std::from_chars(ascii.data(), end, number, std::chars_format::fixed);
  if (error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return number;
}

}  // namespace morvane
