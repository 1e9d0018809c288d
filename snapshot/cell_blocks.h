#pragma once

// Rectangles of cells: their A1 addresses, and a list of areas cut into bands of whole rows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "addin/model/host.h"

namespace morvane {

// "$A$1:$B$3", the absolute address of a block.
std::u16string BlockAddress(const host::CellBlock& block);

// The blocks of a list of areas, in order, none holding more than a given number of cells:
// within an area, bands of whole rows top to bottom, and a row wider than a block in pieces left
// to right. So the blocks of one area follow its cells in row-major order.
class Blocks {
 public:
  Blocks(std::vector<host::CellBlock> areas, std::int32_t cellsPerBlock);

  std::optional<host::CellBlock> Next();

 private:
  std::vector<host::CellBlock> areas_;
  std::int32_t cellsPerBlock_;
  std::size_t area_ = 0;
  std::int32_t row_ = 0;
  std::int32_t column_ = 0;
};

}  // namespace morvane
