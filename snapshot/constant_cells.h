#pragma once

// Finding the constant cells of a range again on Excel 2000 to 2007, whose SpecialCells answers
// a search that would find more than 8,192 areas with every cell of the searched range, formulas
// and empty cells included, and no error.

#include <memory>

#include "addin/model/host.h"
#include "snapshot/cells_with_values.h"

namespace morvane {

// The most cells a block may hold: a SpecialCells answer within it cannot reach the limit.
inline constexpr std::int32_t kCellsPerSearchBlock = 8192;

// True when the host's SpecialCells may fall back so: version 12 or lower, or a version that
// cannot be read (the blocks below cost little on any host).
bool SpecialCellsMayFallBack(host::Application& app);

// The constant cells of `range` on `sheet`, one range per block that holds any, searched in blocks
// of at most kCellsPerSearchBlock cells: area by area, a band of rows at a time (a row in pieces
// where it is wider than a block), each band clipped to the sheet's used range. A cell is visited
// once for each area of `range` that holds it, as Excel enumerates its own answer. The blocks are
// searched as the walk reaches them; a failed host call goes to the caller of Next. A block Excel
// answers "No cells were found" for holds no constant only when every non-empty cell of it is a
// formula: otherwise the answer was a refusal, and it fails.
std::unique_ptr<RangeSource> ConstantCellsInBlocks(const std::shared_ptr<host::Application>& app,
                                                   const std::shared_ptr<host::Sheet>& sheet,
                                                   const std::shared_ptr<host::Range>& range);

}  // namespace morvane
