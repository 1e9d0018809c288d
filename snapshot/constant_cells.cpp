#include "snapshot/constant_cells.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/model/errors.h"
#include "addin/model/user_locale.h"
#include "addin/model/version_number.h"
#include "snapshot/cell_blocks.h"

namespace morvane {
namespace {

// Excel 2010 (version 14) was the first to answer every SpecialCells search exactly.
constexpr double kLastFallingBackVersion = 12.0;

// A one-cell range makes SpecialCells search the whole sheet, whose answer may fall back; the
// cell is searched with a neighbour in its row instead (every sheet has at least two columns).
host::CellBlock SearchedBlock(const host::CellBlock& block) {
  if (block.rows != 1 || block.columns != 1) {
    return block;
  }
  return block.column > 1 ? host::CellBlock{block.row, block.column - 1, 1, 2}
                          : host::CellBlock{block.row, block.column, 1, 2};
}

// The constant cells of each block in turn, skipping the blocks that hold none.
class BlockwiseConstants final : public RangeSource {
 public:
  BlockwiseConstants(std::shared_ptr<host::Application> app, std::shared_ptr<host::Sheet> sheet,
                     std::vector<host::CellBlock> areas)
      : app_(std::move(app)),
        sheet_(std::move(sheet)),
        blocks_(std::move(areas), kCellsPerSearchBlock) {}

  std::shared_ptr<host::Range> Next() override {
    while (const std::optional<host::CellBlock> block = blocks_.Next()) {
      if (auto constants = ConstantsOf(*block)) {
        return constants;
      }
    }
    return nullptr;
  }

 private:
  std::shared_ptr<host::Range> ConstantsOf(const host::CellBlock& block) {
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
    }
    return constants;
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
};

}  // namespace

bool SpecialCellsMayFallBack(host::Application& app) {
  const std::optional<double> version = ReadVersionNumber(app.Version(), UserDecimalSeparator());
  return !version || *version <= kLastFallingBackVersion;
}

std::unique_ptr<RangeSource> ConstantCellsInBlocks(const std::shared_ptr<host::Application>& app,
                                                   const std::shared_ptr<host::Sheet>& sheet,
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
