#include "hostsim/value_typing.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "hostsim/text_scan.h"
#include "hostsim/typed_dates.h"
#include "hostsim/typed_numbers.h"

namespace morvane::sim {
namespace {

using scan::Ascii;
using scan::EqualsIgnoringCase;
using scan::TrimSpaces;

std::optional<TypedInput> ReadLogical(std::string_view s) {
  if (EqualsIgnoringCase(s, "TRUE")) {
    return TypedConstant(true);
  }
  if (EqualsIgnoringCase(s, "FALSE")) {
    return TypedConstant(false);
  }
  return std::nullopt;
}

std::optional<TypedInput> ReadErrorValue(std::string_view s) {
  static constexpr std::array<std::pair<std::string_view, host::ErrorValue>, 7> kErrors{{
      {"#NULL!", host::ErrorValue::Null},
      {"#DIV/0!", host::ErrorValue::Div0},
      {"#VALUE!", host::ErrorValue::Value},
      {"#REF!", host::ErrorValue::Ref},
      {"#NAME?", host::ErrorValue::Name},
      {"#NUM!", host::ErrorValue::Num},
      {"#N/A", host::ErrorValue::NA},
  }};
  for (const auto& [text, error] : kErrors) {
    if (EqualsIgnoringCase(s, text)) {
      return TypedConstant(error);
    }
  }
  return std::nullopt;
}

}  // namespace

TypedInput ReadTypedInput(const std::u16string& text, int currentYear) {
  if (text.empty()) {
    return TypedConstant(host::Empty{});
  }
  if (text[0] == u'\'') {
    return {text.substr(1), {}, true, {}};
  }
  if (text[0] == u'=') {
    return {host::Empty{}, text, false, {}};
  }
  const std::optional<std::string> ascii = Ascii(text);
  if (!ascii) {
    return TypedConstant(text);
  }
  if (auto logical = ReadLogical(*ascii)) {
    return *logical;
  }
  if (auto error = ReadErrorValue(*ascii)) {
    return *error;
  }
  const std::string_view trimmed = TrimSpaces(*ascii);
  if (trimmed.empty()) {
    return TypedConstant(text);
  }
  if (auto number = ReadTypedNumber(trimmed)) {
    return *number;
  }
  if (auto date = ReadTypedDateTime(trimmed, currentYear)) {
    return *date;
  }
  return TypedConstant(text);
}

}  // namespace morvane::sim
