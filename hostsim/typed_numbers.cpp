#include "hostsim/typed_numbers.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "hostsim/text_scan.h"

namespace morvane::sim {
namespace {

using scan::IsDigit;
using scan::TakeNumber;
using scan::TrimSpaces;

TypedInput Number(double value, std::u16string format = {}) {
  return TypedConstant(value, std::move(format));
}

// Digits, with thousands separators only in their proper places ("1,000", "12,345,678").
bool TakeGroupedDigits(std::string_view& s, std::string& digits, bool& grouped) {
  std::size_t i = 0;
  std::size_t group = 0;
  bool sawComma = false;
  while (i < s.size() && (IsDigit(s[i]) || s[i] == ',')) {
    if (s[i] == ',') {
      if (group == 0 || (sawComma ? group != 3 : group > 3)) {
        return false;
      }
      sawComma = true;
      group = 0;
    } else {
      digits += s[i];
      ++group;
    }
    ++i;
  }
  if (sawComma && group != 3) {
    return false;
  }
  grouped = sawComma;
  s.remove_prefix(i);
  return true;
}

// The fraction after a decimal point, appended to digits; gives the number of decimals.
std::size_t TakeDecimals(std::string_view& s, std::string& digits) {
  std::size_t decimals = 0;
  if (!s.empty() && s[0] == '.') {
    digits += '.';
    s.remove_prefix(1);
    while (!s.empty() && IsDigit(s[0])) {
      digits += s[0];
      s.remove_prefix(1);
      ++decimals;
    }
  }
  return decimals;
}

// "e5", "E+5", "e-5" (s starts at the "e"), appended to digits; false when no digit follows.
bool TakeExponent(std::string_view& s, std::string& digits) {
  std::string exponent = "e";
  s.remove_prefix(1);
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    exponent += s[0];
    s.remove_prefix(1);
  }
  if (s.empty() || !IsDigit(s[0])) {
    return false;
  }
  while (!s.empty() && IsDigit(s[0])) {
    exponent += s[0];
    s.remove_prefix(1);
  }
  digits += exponent;
  return true;
}

// "5", "-5", "(5)", "1,000", "1.5", "1e3", "5%", "$5", "-$5", "$-5", "($5)".
std::optional<TypedInput> ReadNumber(std::string_view s) {
  bool negative = false;
  bool parenthesised = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    parenthesised = true;
    s = s.substr(1, s.size() - 2);
  }
  bool signed_ = false;
  const auto takeSign = [&] {
    if (!signed_ && !s.empty() && (s[0] == '+' || s[0] == '-')) {
      negative = s[0] == '-';
      signed_ = true;
      s.remove_prefix(1);
    }
  };
  takeSign();
  bool currency = false;
  if (!s.empty() && s[0] == '$') {
    currency = true;
    s.remove_prefix(1);
    takeSign();
  }
  if (parenthesised && signed_) {
    return std::nullopt;
  }
  negative = negative || parenthesised;

  std::string digits;
  bool grouped = false;
  if (!TakeGroupedDigits(s, digits, grouped)) {
    return std::nullopt;
  }
  const std::size_t decimals = TakeDecimals(s, digits);
  if (digits.find_first_of("0123456789") == std::string::npos) {
    return std::nullopt;
  }
  bool scientific = false;
  if (!s.empty() && (s[0] == 'e' || s[0] == 'E') && !currency) {
    if (!TakeExponent(s, digits)) {
      return std::nullopt;
    }
    scientific = true;
  }
  bool percent = false;
  if (s == "%" && !currency) {
    percent = true;
    s.remove_prefix(1);
  }
  if (!s.empty()) {
    return std::nullopt;
  }
  double value = std::strtod(digits.c_str(), nullptr);
  if (!std::isfinite(value) || std::fabs(value) > 9.99999999999999e307) {
    return std::nullopt;
  }
  if (percent) {
    value /= 100;
  }
  if (negative) {
    value = -value;
  }
  if (currency) {
    std::u16string format = decimals > 0 ? u"$#,##0.00" : u"$#,##0";
    if (const auto money = CurrencyOf(value)) {
      return TypedConstant(*money, std::move(format));
    }
    return Number(value, std::move(format));
  }
  if (percent) {
    return Number(value, decimals > 0 ? u"0.00%" : u"0%");
  }
  if (scientific) {
    return Number(value, u"0.00E+00");
  }
  if (grouped) {
    return Number(value, decimals > 0 ? u"#,##0.00" : u"#,##0");
  }
  return Number(value);
}

// A whole number and a fraction: "1 1/2", "-2 3/4", "0 1/3".
std::optional<TypedInput> ReadMixedFraction(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  const auto whole = TakeNumber(s, 15);
  if (!whole || s.empty() || s[0] != ' ') {
    return std::nullopt;
  }
  s = TrimSpaces(s);
  const auto numerator = TakeNumber(s, 15);
  if (!numerator || s.empty() || s[0] != '/') {
    return std::nullopt;
  }
  s.remove_prefix(1);
  std::size_t denominatorDigits = 0;
  const auto denominator = TakeNumber(s, 15, &denominatorDigits);
  if (!denominator || *denominator == 0 || !s.empty()) {
    return std::nullopt;
  }
  double value = static_cast<double>(*whole) +
                 static_cast<double>(*numerator) / static_cast<double>(*denominator);
  return Number(negative ? -value : value, denominatorDigits > 1 ? u"# ?\?/?\?" : u"# ?/?");
}

}  // namespace

std::optional<host::Currency> CurrencyOf(double amount) {
  // 2^63 ten-thousandths: llround is defined only below it.
  constexpr double kLimit = 9223372036854775808.0;
  const double scaled = std::round(amount * 10000);
  if (!(scaled >= -kLimit && scaled < kLimit)) {
    return std::nullopt;
  }
  return host::Currency{std::llround(scaled)};
}

std::optional<TypedInput> ReadTypedNumber(std::string_view s) {
  if (auto number = ReadNumber(s)) {
    return number;
  }
  return ReadMixedFraction(s);
}

}  // namespace morvane::sim
