#include "tests/e2e/scenario_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "addin/model/utf8.h"
#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

const std::pair<std::string_view, host::ErrorValue> kErrorNames[] = {
    {"#NULL!", host::ErrorValue::Null},   {"#DIV/0!", host::ErrorValue::Div0},
    {"#VALUE!", host::ErrorValue::Value}, {"#REF!", host::ErrorValue::Ref},
    {"#NAME?", host::ErrorValue::Name},   {"#NUM!", host::ErrorValue::Num},
    {"#N/A", host::ErrorValue::NA},
};

std::optional<double> Number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::string Shortest(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

std::optional<host::CellValue> ParseCellValue(const Word& word) {
  if (word.quoted) {
    return Utf8ToUtf16(word.text);
  }
  const std::string_view text = word.text;
  if (text == "empty") {
    return host::Empty{};
  }
  if (text == "TRUE" || text == "FALSE") {
    return text == "TRUE";
  }
  for (const auto& [name, error] : kErrorNames) {
    if (text == name) {
      return error;
    }
  }
  if (text.starts_with("date:")) {
    if (const auto serial = Number(text.substr(5))) {
      return host::Date{*serial};
    }
    return std::nullopt;
  }
  if (text.starts_with("currency:")) {
    if (const auto amount = Number(text.substr(9))) {
      return host::Currency{static_cast<std::int64_t>(std::llround(*amount * 10000))};
    }
    return std::nullopt;
  }
  if (const auto number = Number(text)) {
    return *number;
  }
  return std::nullopt;
}

std::string FormatCellValue(const host::CellValue& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, host::Empty>) {
          return "empty";
        } else if constexpr (std::is_same_v<T, std::u16string>) {
          std::string quoted(1, '"');
          quoted.append(Utf16ToUtf8(v)).push_back('"');
          return quoted;
        } else if constexpr (std::is_same_v<T, double>) {
          return Shortest(v);
        } else if constexpr (std::is_same_v<T, host::Date>) {
          return std::string("date:").append(Shortest(v.serial));
        } else if constexpr (std::is_same_v<T, bool>) {
          return v ? "TRUE" : "FALSE";
        } else if constexpr (std::is_same_v<T, host::Currency>) {
          return std::string("currency:").append(Shortest(static_cast<double>(v.scaled) / 10000));
        } else {
          for (const auto& [name, error] : kErrorNames) {
            if (error == v) {
              return std::string(name);
            }
          }
          return "#?";
        }
      },
      value);
}

}  // namespace morvane::e2e
