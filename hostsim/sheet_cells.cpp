#include "hostsim/sheet_cells.h"

namespace morvane::sim {

bool IsNonEmpty(const CellContent& cell) {
  return cell.HasFormula() || !std::holds_alternative<host::Empty>(cell.value);
}

bool IsConstant(const CellContent& cell) {
  return !cell.HasFormula() && !std::holds_alternative<host::Empty>(cell.value);
}

const CellContent* SheetCells::Find(CellKey key) const {
  const auto it = cells_.find(key);
  return it == cells_.end() ? nullptr : &it->second;
}

CellContent SheetCells::Get(CellKey key) const {
  const CellContent* found = Find(key);
  return found ? *found : CellContent{};
}

void SheetCells::Set(CellKey key, CellContent content) {
  const auto it = cells_.find(key);
  if (content == CellContent{}) {
    if (it != cells_.end()) {
      cells_.erase(it);
      if (--perColumn_[key.column] == 0) {
        perColumn_.erase(key.column);
      }
    }
    return;
  }
  if (it != cells_.end()) {
    it->second = std::move(content);
    return;
  }
  cells_.emplace(key, std::move(content));
  ++perColumn_[key.column];
}

std::optional<Area> SheetCells::UsedRange() const {
  if (cells_.empty()) {
    return std::nullopt;
  }
  return Area{cells_.begin()->first.row, perColumn_.begin()->first, cells_.rbegin()->first.row,
              perColumn_.rbegin()->first};
}

}  // namespace morvane::sim
