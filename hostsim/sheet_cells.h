#pragma once

// The cells of one sheet, stored sparsely: only cells that differ from an untouched cell are
// kept, ordered row-major, so whole-column and whole-sheet ranges cost only their filled cells.

#include <map>
#include <optional>
#include <vector>

#include "hostsim/address.h"
#include "hostsim/excel.h"

namespace morvane::sim {

// Whether a cell counts as non-empty for COUNTA: any value (empty text included) or formula.
bool IsNonEmpty(const CellContent& cell);
// Whether SpecialCells(xlCellTypeConstants) finds the cell: a value that is not a formula.
bool IsConstant(const CellContent& cell);

class SheetCells {
 public:
  // The cell as stored, or nullptr for an untouched cell.
  const CellContent* Find(CellKey key) const;
  CellContent Get(CellKey key) const;
  // Stores the cell; a cell equal to an untouched one is dropped, to stay sparse.
  void Set(CellKey key, CellContent content);

  // Excel's used range: the smallest rectangle holding every stored cell (formatting included).
  std::optional<Area> UsedRange() const;

  // Calls visit(key, content) for every stored cell inside the area, row-major. Skips between
  // stored cells by seeking, so the cost follows the stored cells, not the area.
  template <typename Visit>
  void ForEachIn(const Area& area, Visit&& visit) const {
    auto it = cells_.lower_bound({area.top, area.left});
    while (it != cells_.end() && it->first.row <= area.bottom) {
      const CellKey key = it->first;
      if (key.column < area.left) {
        it = cells_.lower_bound({key.row, area.left});
      } else if (key.column > area.right) {
        it = cells_.lower_bound({key.row + 1, area.left});
      } else {
        visit(key, it->second);
        ++it;
      }
    }
  }

  const std::map<CellKey, CellContent>& All() const { return cells_; }

 private:
  std::map<CellKey, CellContent> cells_;
  // How many stored cells each column holds, for the used range's left and right edges.
  std::map<std::int32_t, std::size_t> perColumn_;
};

}  // namespace morvane::sim
