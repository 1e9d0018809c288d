#include "hostsim/typed_dates.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "hostsim/text_scan.h"

namespace morvane::sim {
namespace {

using scan::EqualsIgnoringCase;
using scan::IsDigit;
using scan::IsLetter;
using scan::TakeNumber;
using scan::TrimSpaces;

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
      if (!tokens.empty() && pending == 0) {
        return std::nullopt;  // "Jan2020": words and numbers need a separator between them
      }
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
  return TypedConstant(host::Date{serial}, parts->format);
}

// A date, a time, or a date followed by a time ("1/2/2020 12:30").
std::optional<TypedInput> ReadDateTime(std::string_view s, int currentYear) {
  if (auto date = ReadDateOnly(s, currentYear)) {
    return date;
  }
  if (const auto time = ReadTimeOfDay(s)) {
    return TypedConstant(time->fraction, TimeFormat(*time));
  }
  for (std::size_t space = s.rfind(' '); space != std::string_view::npos && space > 0;
       space = s.rfind(' ', space - 1)) {
    const auto time = ReadTimeOfDay(TrimSpaces(s.substr(space + 1)));
    const auto date = ReadDateOnly(TrimSpaces(s.substr(0, space)), currentYear);
    if (time && date) {
      const double serial = std::get<host::Date>(date->value).serial + time->fraction;
      return TypedConstant(host::Date{serial}, u"m/d/yyyy " + TimeFormat(*time));
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

std::optional<TypedInput> ReadTypedDateTime(std::string_view s, int currentYear) {
  return ReadDateTime(s, currentYear);
}

}  // namespace morvane::sim
