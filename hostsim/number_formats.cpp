#include "hostsim/number_formats.h"

#include <cmath>

#include "hostsim/typed_numbers.h"

namespace morvane::sim {

using host::CellValue;

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
      if (const auto money = CurrencyOf(number)) {
        return *money;
      }
      return number;
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
