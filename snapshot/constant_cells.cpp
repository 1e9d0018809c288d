#include "snapshot/constant_cells.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/model/errors.h"
#include "addin/model/user_locale.h"
#include "addin/model/utf8.h"
#include "addin/model/version_number.h"

namespace morvane {
namespace {

// Excel 2010 (version 14) was the first to answer every SpecialCells search exactly.
constexpr double kLastFallingBackVersion = 12.0;

std::u16string ColumnLetters(std::int32_t column) {
  std::u16string letters;
  for (; column > 0; column = (column - 1) / 26) {
    letters.push_back(static_cast<char16_t>(u'A' + (column - 1) % 26));
  }
  std::reverse(letters.begin(), letters.end());
  return letters;
}

// "$A$1:$B$3", the absolute address of a block.
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

// A one-cell range makes SpecialCells search the whole sheet, whose answer may fall back; the
// cell is searched with a neighbour in its row instead (every sheet has at least two columns).
host::CellBlock SearchedBlock(const host::CellBlock& block) {
  if (block.rows != 1 || block.columns != 1) {
    return block;
  }
  return block.column > 1 ? host::CellBlock{block.row, block.column - 1, 1, 2}
                          : host::CellBlock{block.row, block.column, 1, 2};
}

// The blocks of a list of areas, in order: within an area, bands of whole rows top to bottom,
// and a row wider than a block in pieces left to right.
class Blocks {
 public:
  explicit Blocks(std::vector<host::CellBlock> areas) : areas_(std::move(areas)) {}

  std::optional<host::CellBlock> Next() {
    while (area_ < areas_.size()) {
      const host::CellBlock& area = areas_[area_];
      const std::int32_t columnsPerBlock = std::min(area.columns, kCellsPerSearchBlock);
      const std::int32_t rowsPerBlock = std::max(1, kCellsPerSearchBlock / columnsPerBlock);
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

 private:
  std::vector<host::CellBlock> areas_;
  std::size_t area_ = 0;
  std::int32_t row_ = 0;
  std::int32_t column_ = 0;
};

class BlockwiseConstants final : public host::CellEnumerator {
 public:
  BlockwiseConstants(std::shared_ptr<host::Application> app, std::shared_ptr<host::Sheet> sheet,
                     std::vector<host::CellBlock> areas)
      : app_(std::move(app)), sheet_(std::move(sheet)), blocks_(std::move(areas)) {}

  std::shared_ptr<host::Range> Next() override {
    for (;;) {
      if (cells_) {
        if (auto cell = cells_->Next()) {
          return cell;
        }
        cells_.reset();
      }
      const std::optional<host::CellBlock> block = blocks_.Next();
      if (!block) {
        return nullptr;
      }
      cells_ = ConstantsOf(*block);
    }
  }

 private:
  std::unique_ptr<host::CellEnumerator> ConstantsOf(const host::CellBlock& block) {
    const host::CellBlock searchedBlock = SearchedBlock(block);
    const auto searched = sheet_->Range(BlockAddress(searchedBlock));
    const double nonEmpty = app_->CountA(searched);
    if (nonEmpty == 0) {
      return nullptr;
    }
    std::shared_ptr<host::Range> constants;
    try {
      constants = searched->SpecialCells(host::kCellTypeConstants);
    } catch (const host::HostError& error) {
      if (error.hresult() == errors::kExcelError && HoldsOnlyFormulas(*searched, nonEmpty)) {
        return nullptr;
      }
      throw;
    }
    if (!(searchedBlock == block)) {
      constants = app_->Intersect(constants, sheet_->Range(BlockAddress(block)));
      if (!constants) {
        return nullptr;
      }
    }
    return constants->Cells();
  }

  // "No cells were found" is true of a block whose every non-empty cell is a formula.
  bool HoldsOnlyFormulas(host::Range& searched, double nonEmpty) {
    try {
      return app_->CountA(searched.SpecialCells(host::kCellTypeFormulas)) == nonEmpty;
    } catch (const host::HostError&) {
      return false;
    }
  }

  std::shared_ptr<host::Application> app_;
  std::shared_ptr<host::Sheet> sheet_;
  Blocks blocks_;
  std::unique_ptr<host::CellEnumerator> cells_;
};

}  // namespace

bool SpecialCellsMayFallBack(host::Application& app) {
  const std::optional<double> version = ReadVersionNumber(app.Version(), UserDecimalSeparator());
  return !version || *version <= kLastFallingBackVersion;
}

std::unique_ptr<host::CellEnumerator> ConstantCellsInBlocks(
    const std::shared_ptr<host::Application>& app, const std::shared_ptr<host::Sheet>& sheet,
    const std::shared_ptr<host::Range>& range) {
  std::vector<host::CellBlock> areas;
  if (const auto used = app->Intersect(range, sheet->UsedRange())) {
    const std::int32_t count = used->AreaCount();
    for (std::int32_t i = 1; i <= count; ++i) {
      areas.push_back(used->Area(i)->Bounds());
    }
  }
  return std::make_unique<BlockwiseConstants>(app, sheet, std::move(areas));
}

}  // namespace morvane
