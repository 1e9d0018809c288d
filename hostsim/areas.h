#pragma once

// Set operations on lists of areas, costing in proportion to the areas (and cells) involved,
// never to the number of cells the areas cover.

#include <optional>
#include <vector>

#include "hostsim/address.h"

namespace morvane::sim {

std::optional<Area> Overlap(const Area& a, const Area& b);

// Groups cells (sorted row-major, no duplicates) into rectangles: runs of adjacent cells in a
// row, stacked with the run of the row above when both span the same columns. The areas come
// in the row-major order of their top-left cells.
std::vector<Area> AreasFromCells(const std::vector<CellKey>& sortedCells);

// Every overlap of an area of `a` with an area of `b`: for each area of `a` in order, its
// overlaps in the order of `b`. Empty when nothing meets.
std::vector<Area> IntersectAreas(const std::vector<Area>& a, const std::vector<Area>& b);

}  // namespace morvane::sim
