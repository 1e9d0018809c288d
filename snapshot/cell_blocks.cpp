#include "snapshot/cell_blocks.h"

#include <algorithm>
#include <utility>

#include "addin/model/utf8.h"

namespace morvane {
namespace {

std::u16string ColumnLetters(std::int32_t column) {
  std::u16string letters;
  for (; column > 0; column = (column - 1) / 26) {
    letters.push_back(static_cast<char16_t>(u'A' + (column - 1) % 26));
  }
  std::reverse(letters.begin(), letters.end());
  return letters;
}

}  // namespace

std::u16string BlockAddress(const host::CellBlock& block) {
  std::u16string address;
  const auto appendCell = [&address](std::int32_t row, std::int32_t column) {
    address.append(u"$")
        .append(ColumnLetters(column))
        .append(u"$")
        .append(Utf8ToUtf16(std::to_string(row)));
  };
  appendCell(block.row, block.column);
  address.append(u":");
  appendCell(block.row + block.rows - 1, block.column + block.columns - 1);
  return address;
}

Blocks::Blocks(std::vector<host::CellBlock> areas, std::int32_t cellsPerBlock)
    : areas_(std::move(areas)), cellsPerBlock_(cellsPerBlock) {}

std::optional<host::CellBlock> Blocks::Next() {
  while (area_ < areas_.size()) {
    const host::CellBlock& area = areas_[area_];
    const std::int32_t columnsPerBlock = std::min(area.columns, cellsPerBlock_);
    const std::int32_t rowsPerBlock = std::max(1, cellsPerBlock_ / columnsPerBlock);
    if (row_ >= area.rows) {
      ++area_;
      row_ = column_ = 0;
      continue;
    }
    const host::CellBlock block{area.row + row_, area.column + column_,
                                std::min(rowsPerBlock, area.rows - row_),
                                std::min(columnsPerBlock, area.columns - column_)};
    column_ += block.columns;
    if (column_ >= area.columns) {
      column_ = 0;
      row_ += block.rows;
    }
    return block;
  }
  return std::nullopt;
}

}  // namespace morvane
