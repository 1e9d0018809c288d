#include "hostsim/address.h"

#include <stdexcept>

namespace morvane::sim {
namespace {

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void Invalid(std::string_view text) {
  throw std::invalid_argument("not an A1 address: " + std::string(text));
}

// One side of a reference: column letters, row digits, or both, each optionally after '$'.
struct Corner {
  std::optional<std::int32_t> column;
  std::optional<std::int32_t> row;
};

Corner ParseCorner(std::string_view part, std::string_view whole) {
  Corner corner;
  std::size_t i = 0;
  if (i < part.size() && part[i] == '$') {
    ++i;
  }
  std::int64_t column = 0;
  std::size_t letters = 0;
  while (i < part.size() && IsUpperLetter(part[i])) {
    column = column * 26 + (part[i] - 'A' + 1);
    if (++letters > 3) {
      Invalid(whole);
    }
    ++i;
  }
  if (letters > 0) {
    if (column > kMaxColumn) {
      Invalid(whole);
    }
    corner.column = static_cast<std::int32_t>(column);
  }
  if (i < part.size() && part[i] == '$') {
    if (letters == 0) {
      Invalid(whole);
    }
    ++i;
  }
  std::int64_t row = 0;
  std::size_t digits = 0;
  while (i < part.size() && IsDigit(part[i])) {
    row = row * 10 + (part[i] - '0');
    if (++digits > 7) {
      Invalid(whole);
    }
    ++i;
  }
  if (digits > 0) {
    if (row < 1 || row > kMaxRow) {
      Invalid(whole);
    }
    corner.row = static_cast<std::int32_t>(row);
  }
  if (i != part.size() || (letters == 0 && digits == 0)) {
    Invalid(whole);
  }
  return corner;
}

Area ParseArea(std::string_view part) {
  const std::size_t colon = part.find(':');
  const Corner first = ParseCorner(part.substr(0, colon), part);
  if (colon == std::string_view::npos) {
    if (!first.column || !first.row) {
      Invalid(part);
    }
    return AreaOf({*first.row, *first.column});
  }
  const Corner second = ParseCorner(part.substr(colon + 1), part);
  Area area;
  if (first.column && first.row && second.column && second.row) {
    area = {*first.row, *first.column, *second.row, *second.column};
  } else if (first.column && second.column && !first.row && !second.row) {
    area = {1, *first.column, kMaxRow, *second.column};
  } else if (first.row && second.row && !first.column && !second.column) {
    area = {*first.row, 1, *second.row, kMaxColumn};
  } else {
    Invalid(part);
  }
  if (area.top > area.bottom) {
    std::swap(area.top, area.bottom);
  }
  if (area.left > area.right) {
    std::swap(area.left, area.right);
  }
  return area;
}

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

}  // namespace

std::vector<Area> ParseAddress(std::string_view text) {
  std::vector<Area> areas;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string_view part = text.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    if (part.empty()) {
      Invalid(text);
    }
    areas.push_back(ParseArea(part));
    if (comma == std::string_view::npos) {
      return areas;
    }
    start = comma + 1;
  }
}

CellKey ParseCell(std::string_view text) {
  const std::vector<Area> areas = ParseAddress(text);
  if (areas.size() != 1 || areas[0].CellCount() != 1) {
    Invalid(text);
  }
  return {areas[0].top, areas[0].left};
}

std::string FormatCell(CellKey cell, bool absolute) {
  const std::string dollar = absolute ? "$" : "";
  return dollar + ColumnLetters(cell.column) + dollar + std::to_string(cell.row);
}

std::string FormatAddress(const std::vector<Area>& areas, bool absolute) {
  const std::string dollar = absolute ? "$" : "";
  std::string out;
  for (const Area& area : areas) {
    if (!out.empty()) {
      out += ',';
    }
    const bool wholeColumns = area.top == 1 && area.bottom == kMaxRow;
    const bool wholeRows = area.left == 1 && area.right == kMaxColumn;
    if (wholeRows) {
      out.append(dollar).append(std::to_string(area.top)).append(":");
      out.append(dollar).append(std::to_string(area.bottom));
    } else if (wholeColumns) {
      out.append(dollar).append(ColumnLetters(area.left)).append(":");
      out.append(dollar).append(ColumnLetters(area.right));
    } else if (area.CellCount() == 1) {
      out += FormatCell({area.top, area.left}, absolute);
    } else {
      out += FormatCell({area.top, area.left}, absolute) + ':' +
             FormatCell({area.bottom, area.right}, absolute);
    }
  }
  return out;
}

}  // namespace morvane::sim
