#pragma once

// A1 addresses: cells, rectangular areas and multi-area references on one sheet.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::sim {

// The size of an Excel 2007+ worksheet.
inline constexpr std::int32_t kMaxRow = 1048576;
inline constexpr std::int32_t kMaxColumn = 16384;

// A cell position, ordered row first, so an ordered container holds a sheet row-major.
struct CellKey {
  std::int32_t row = 1;
  std::int32_t column = 1;
  friend auto operator<=>(const CellKey&, const CellKey&) = default;
};

// A rectangle of cells, inclusive on all four sides.
struct Area {
  std::int32_t top = 1;
  std::int32_t left = 1;
  std::int32_t bottom = 1;
  std::int32_t right = 1;

  std::int64_t CellCount() const {
    return std::int64_t{bottom - top + 1} * std::int64_t{right - left + 1};
  }
  bool Contains(CellKey cell) const {
    return cell.row >= top && cell.row <= bottom && cell.column >= left && cell.column <= right;
  }
  friend bool operator==(const Area&, const Area&) = default;
};

inline Area AreaOf(CellKey cell) {
  return {cell.row, cell.column, cell.row, cell.column};
}

// The whole sheet (Cells), as one area.
inline constexpr Area kWholeSheet{1, 1, kMaxRow, kMaxColumn};

// Parses "A1", "$B$2", "A1:C3", "C:C", "2:4", and lists of these joined by commas. Throws
// std::invalid_argument for anything else, including cells outside the sheet.
std::vector<Area> ParseAddress(std::string_view text);
CellKey ParseCell(std::string_view text);

// Formats areas the way Excel's Address does: "A1:C3,E5", whole columns as "C:C", whole rows
// as "2:2"; with `absolute`, as Address with its defaults gives them ("$A$1:$C$3,$E$5").
std::string FormatAddress(const std::vector<Area>& areas, bool absolute = false);
std::string FormatCell(CellKey cell, bool absolute = false);

}  // namespace morvane::sim
