#include "hostsim/value_typing.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::sim {
namespace {

using host::CellValue;

// Entered text that is not plain ASCII is never a number, date, logical or error value.
std::optional<std::string> Ascii(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c >= 0x80) {
      return std::nullopt;
    }
    out += static_cast<char>(c);
  }
  return out;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') {
    s.remove_prefix(1);
  }
  while (!s.empty() && s.back() == ' ') {
    s.remove_suffix(1);
  }
  return s;
}

TypedInput Constant(CellValue value, std::u16string format = {}) {
  return {std::move(value), {}, false, std::move(format)};
}

TypedInput Number(double value, std::u16string format = {}) {
  return Constant(value, std::move(format));
}

std::optional<TypedInput> ReadLogical(std::string_view s) {
  if (EqualsIgnoringCase(s, "TRUE")) {
    return Constant(true);
  }
  if (EqualsIgnoringCase(s, "FALSE")) {
    return Constant(false);
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
      return Constant(error);
    }
  }
  return std::nullopt;
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
  if (digits.find_first_of("0123456789") == std::string::npos) {
    return std::nullopt;
  }
  bool scientific = false;
  if (!s.empty() && (s[0] == 'e' || s[0] == 'E') && !currency) {
    std::string exponent = "e";
    s.remove_prefix(1);
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
      exponent += s[0];
      s.remove_prefix(1);
    }
    if (s.empty() || !IsDigit(s[0])) {
      return std::nullopt;
    }
    while (!s.empty() && IsDigit(s[0])) {
      exponent += s[0];
      s.remove_prefix(1);
    }
    digits += exponent;
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
    return TypedInput{host::Currency{std::llround(value * 10000)},
                      {},
                      false,
                      decimals > 0 ? u"$#,##0.00" : u"$#,##0"};
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

std::optional<long> TakeNumber(std::string_view& s, std::size_t maxDigits,
                               std::size_t* length = nullptr) {
  std::size_t i = 0;
  long value = 0;
  while (i < s.size() && IsDigit(s[i])) {
    if (i == maxDigits) {
      return std::nullopt;
    }
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  if (i == 0) {
    return std::nullopt;
  }
  if (length != nullptr) {
    *length = i;
  }
  s.remove_prefix(i);
  return value;
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

struct TimeOfDay {
  double fraction = 0;
  bool seconds = false;
  bool twelveHour = false;
};

// "12:30", "8:05:10", "1:30 PM", "3 pm".
std::optional<TimeOfDay> ReadTimeOfDay(std::string_view s) {
  TimeOfDay time;
  const auto hours = TakeNumber(s, 2);
  if (!hours) {
    return std::nullopt;
  }
  long minutes = 0;
  long seconds = 0;
  bool colon = false;
  if (!s.empty() && s[0] == ':') {
    colon = true;
    s.remove_prefix(1);
    const auto m = TakeNumber(s, 2);
    if (!m || *m > 59) {
      return std::nullopt;
    }
    minutes = *m;
    if (!s.empty() && s[0] == ':') {
      s.remove_prefix(1);
      const auto sec = TakeNumber(s, 2);
      if (!sec || *sec > 59) {
        return std::nullopt;
      }
      seconds = *sec;
      time.seconds = true;
    }
  }
  s = TrimSpaces(s);
  long hour = *hours;
  if (!s.empty()) {
    const bool am = EqualsIgnoringCase(s, "AM") || EqualsIgnoringCase(s, "A");
    const bool pm = EqualsIgnoringCase(s, "PM") || EqualsIgnoringCase(s, "P");
    if ((!am && !pm) || hour > 12) {
      return std::nullopt;
    }
    hour = hour % 12 + (pm ? 12 : 0);
    time.twelveHour = true;
  } else if (!colon || hour > 23) {
    return std::nullopt;
  }
  time.fraction = static_cast<double>(hour * 3600 + minutes * 60 + seconds) / 86400.0;
  return time;
}

std::u16string TimeFormat(const TimeOfDay& time) {
  std::u16string format = time.seconds ? u"h:mm:ss" : u"h:mm";
  return time.twelveHour ? format + u" AM/PM" : format;
}

int MonthFromName(std::string_view word) {
  static constexpr std::array<std::string_view, 12> kMonths{
      "january", "february", "march",     "april",   "may",      "june",
      "july",    "august",   "september", "october", "november", "december"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    const std::string_view full = kMonths[i];
    if (EqualsIgnoringCase(word, full) || EqualsIgnoringCase(word, full.substr(0, 3)) ||
        (i == 8 && EqualsIgnoringCase(word, "sept"))) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

// A year as typed: two digits mean 1930..2029, four digits are taken as they are.
int ExpandYear(long year, std::size_t digits) {
  if (digits <= 2) {
    return static_cast<int>(year < 30 ? 2000 + year : 1900 + year);
  }
  return digits == 4 ? static_cast<int>(year) : -1;
}

struct Token {
  std::string text;
  bool numeric = false;
  char separator = 0;  // the separator before it (' ' stands for any run of spaces and commas)
};

std::optional<std::vector<Token>> Tokenize(std::string_view s) {
  std::vector<Token> tokens;
  char pending = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ' || c == ',') {
      pending = pending == 0 || pending == ' ' ? ' ' : pending;
      ++i;
    } else if (c == '/' || c == '-') {
      if (pending != 0 && pending != ' ') {
        return std::nullopt;
      }
      pending = c;
      ++i;
    } else if (IsDigit(c) || IsLetter(c)) {
      Token token;
      token.numeric = IsDigit(c);
      token.separator = pending;
      while (i < s.size() && (token.numeric ? IsDigit(s[i]) : IsLetter(s[i]))) {
        token.text += s[i++];
      }
      tokens.push_back(std::move(token));
      pending = 0;
    } else {
      return std::nullopt;
    }
  }
  if (pending != 0 || tokens.empty() || tokens.front().separator != 0) {
    return std::nullopt;
  }
  return tokens;
}

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
  std::u16string format;
};

std::optional<DateParts> ReadDateParts(std::string_view s, int currentYear) {
  const auto tokens = Tokenize(s);
  if (!tokens || tokens->size() < 2 || tokens->size() > 3) {
    return std::nullopt;
  }
  const std::vector<Token>& t = *tokens;
  const auto number = [&](std::size_t i) { return std::stol(t[i].text); };
  const bool allNumeric = std::all_of(t.begin(), t.end(), [](const Token& x) { return x.numeric; });
  if (allNumeric) {
    const char separator = t[1].separator;
    if (separator != '/' && separator != '-') {
      return std::nullopt;
    }
    for (const Token& x : t) {
      if ((x.separator != 0 && x.separator != separator) || x.text.size() > 4) {
        return std::nullopt;
      }
    }
    if (t.size() == 3) {
      if (t[0].text.size() == 4) {  // 2020-01-02
        return DateParts{static_cast<int>(number(0)), static_cast<int>(number(1)),
                         static_cast<int>(number(2)), u"m/d/yyyy"};
      }
      if (t[0].text.size() > 2 || t[1].text.size() > 2) {
        return std::nullopt;
      }
      return DateParts{ExpandYear(number(2), t[2].text.size()), static_cast<int>(number(0)),
                       static_cast<int>(number(1)), u"m/d/yyyy"};
    }
    if (t[1].text.size() == 4 && t[0].text.size() <= 2) {  // 1/2020: the month's first day
      return DateParts{static_cast<int>(number(1)), static_cast<int>(number(0)), 1, u"mmm-yy"};
    }
    if (t[0].text.size() == 4 && t[1].text.size() <= 2) {  // 2020/1
      return DateParts{static_cast<int>(number(0)), static_cast<int>(number(1)), 1, u"mmm-yy"};
    }
    if (t[0].text.size() > 2 || t[1].text.size() > 2) {
      return std::nullopt;
    }
    return DateParts{currentYear, static_cast<int>(number(0)), static_cast<int>(number(1)),
                     u"d-mmm"};
  }
  // One month name among numbers: "Jan 2, 2020", "2-Jan-2020", "Jan 2", "2 Jan", "May 2020".
  std::size_t monthAt = t.size();
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!t[i].numeric) {
      if (monthAt != t.size() || MonthFromName(t[i].text) == 0) {
        return std::nullopt;
      }
      monthAt = i;
    }
  }
  if (monthAt == 2 || std::any_of(t.begin(), t.end(),
                                  [](const Token& x) { return x.numeric && x.text.size() > 4; })) {
    return std::nullopt;
  }
  const int month = MonthFromName(t[monthAt].text);
  const std::size_t dayAt = monthAt == 0 ? 1 : 0;
  if (t.size() == 3) {
    if (t[dayAt].text.size() > 2) {
      return std::nullopt;
    }
    return DateParts{ExpandYear(number(2), t[2].text.size()), month,
                     static_cast<int>(number(dayAt)), u"d-mmm-yy"};
  }
  const long day = number(dayAt);
  if (t[dayAt].text.size() <= 2 && day >= 1 && day <= 31) {
    return DateParts{currentYear, month, static_cast<int>(day), u"d-mmm"};
  }
  if (monthAt == 0) {  // the number cannot be a day, so it is the year: "May 2020", "Jan 45"
    return DateParts{ExpandYear(day, t[1].text.size()), month, 1, u"mmm-yy"};
  }
  return std::nullopt;
}

std::optional<TypedInput> ReadDateOnly(std::string_view s, int currentYear) {
  const auto parts = ReadDateParts(s, currentYear);
  if (!parts) {
    return std::nullopt;
  }
  const double serial = DateSerial(parts->year, parts->month, parts->day);
  if (serial < 0) {
    return std::nullopt;
  }
  return TypedInput{host::Date{serial}, {}, false, parts->format};
}

// A date, a time, or a date followed by a time ("1/2/2020 12:30").
std::optional<TypedInput> ReadDateTime(std::string_view s, int currentYear) {
  if (auto date = ReadDateOnly(s, currentYear)) {
    return date;
  }
  if (const auto time = ReadTimeOfDay(s)) {
    return Number(time->fraction, TimeFormat(*time));
  }
  for (std::size_t space = s.rfind(' '); space != std::string_view::npos && space > 0;
       space = s.rfind(' ', space - 1)) {
    const auto time = ReadTimeOfDay(TrimSpaces(s.substr(space + 1)));
    const auto date = ReadDateOnly(TrimSpaces(s.substr(0, space)), currentYear);
    if (time && date) {
      const double serial = std::get<host::Date>(date->value).serial + time->fraction;
      return TypedInput{host::Date{serial}, {}, false, u"m/d/yyyy " + TimeFormat(*time)};
    }
  }
  return std::nullopt;
}

long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

double DateSerial(int year, int month, int day) {
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1) {
    return -1;
  }
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year == 1900 && month == 2 && day == 29) {
    return 60;  // Excel keeps Lotus 1-2-3's 29 February 1900
  }
  const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && IsLeap(year));
  if (day > last) {
    return -1;
  }
  const long serial = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
  return static_cast<double>(serial < 61 ? serial - 1 : serial);
}

int CurrentYear() {
  using namespace std::chrono;
  const year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

TypedInput ReadTypedInput(const std::u16string& text, int currentYear) {
  if (text.empty()) {
    return Constant(host::Empty{});
  }
  if (text[0] == u'\'') {
    return {text.substr(1), {}, true, {}};
  }
  if (text[0] == u'=') {
    return {host::Empty{}, text, false, {}};
  }
  const std::optional<std::string> ascii = Ascii(text);
  if (!ascii) {
    return Constant(text);
  }
  if (auto logical = ReadLogical(*ascii)) {
    return *logical;
  }
  if (auto error = ReadErrorValue(*ascii)) {
    return *error;
  }
  const std::string_view trimmed = TrimSpaces(*ascii);
  if (trimmed.empty()) {
    return Constant(text);
  }
  if (auto number = ReadNumber(trimmed)) {
    return *number;
  }
  if (auto fraction = ReadMixedFraction(trimmed)) {
    return *fraction;
  }
  if (auto date = ReadDateTime(trimmed, currentYear)) {
    return *date;
  }
  return Constant(text);
}

FormatKind ClassifyFormat(const std::u16string& numberFormat) {
  if (numberFormat.empty() || numberFormat == u"General" || numberFormat == u"general") {
    return FormatKind::General;
  }
  if (numberFormat == u"@") {
    return FormatKind::Text;
  }
  bool currency = false;
  bool date = false;
  bool minutesOrMonths = false;
  bool time = false;
  for (std::size_t i = 0; i < numberFormat.size(); ++i) {
    const char16_t c = numberFormat[i];
    if (c == u';') {
      break;  // the first section decides
    }
    if (c == u'"') {
      const std::size_t close = numberFormat.find(u'"', i + 1);
      if (close == std::u16string::npos) {
        break;
      }
      i = close;
    } else if (c == u'\\') {
      ++i;
    } else if (c == u'[') {
      const std::size_t close = numberFormat.find(u']', i + 1);
      if (close == std::u16string::npos) {
        break;
      }
      const std::u16string inside = numberFormat.substr(i + 1, close - i - 1);
      if (inside.size() >= 2 && inside[0] == u'$' && inside[1] != u'-') {
        currency = true;  // [$€-407]: a currency symbol with its locale
      } else if (!inside.empty() && (inside[0] == u'h' || inside[0] == u'H' || inside[0] == u'm' ||
                                     inside[0] == u'M' || inside[0] == u's' || inside[0] == u'S')) {
        time = true;  // [h]:mm elapsed time
      }
      i = close;
    } else if (c == u'$' || c == u'\u20AC' || c == u'\u00A3' || c == u'\u00A5') {
      currency = true;
    } else if (c == u'd' || c == u'D' || c == u'y' || c == u'Y') {
      date = true;
    } else if (c == u'm' || c == u'M') {
      minutesOrMonths = true;
    } else if (c == u'h' || c == u'H' || c == u's' || c == u'S') {
      time = true;
    }
  }
  if (currency) {
    return FormatKind::Currency;
  }
  if (date || (minutesOrMonths && !time)) {
    return FormatKind::Date;
  }
  return time ? FormatKind::Time : FormatKind::Number;
}

CellValue ValueUnderFormat(const CellValue& stored, const std::u16string& numberFormat) {
  double number = 0;
  if (const auto* d = std::get_if<double>(&stored)) {
    number = *d;
  } else if (const auto* date = std::get_if<host::Date>(&stored)) {
    number = date->serial;
  } else if (const auto* money = std::get_if<host::Currency>(&stored)) {
    number = static_cast<double>(money->scaled) / 10000;
  } else {
    return stored;
  }
  switch (ClassifyFormat(numberFormat)) {
    case FormatKind::Currency:
      return host::Currency{std::llround(number * 10000)};
    case FormatKind::Date:
      return host::Date{number};
    case FormatKind::General:
    case FormatKind::Text:
      return stored;
    case FormatKind::Number:
    case FormatKind::Time:
      return number;
  }
  return stored;
}

}  // namespace morvane::sim
