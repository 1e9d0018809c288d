#include "hostsim/areas.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>

namespace morvane::sim {

std::optional<Area> Overlap(const Area& a, const Area& b) {
  const Area overlap{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
                     std::min(a.right, b.right)};
  if (overlap.top > overlap.bottom || overlap.left > overlap.right) {
    return std::nullopt;
  }
  return overlap;
}

std::vector<Area> AreasFromCells(const std::vector<CellKey>& sortedCells) {
  std::vector<Area> areas;
  // The area that each column span of the previous row ended in, to stack the next row on.
  std::map<std::pair<std::int32_t, std::int32_t>, std::size_t> openBySpan;
  std::size_t i = 0;
  while (i < sortedCells.size()) {
    const std::int32_t row = sortedCells[i].row;
    const std::int32_t left = sortedCells[i].column;
    std::int32_t right = left;
    ++i;
    while (i < sortedCells.size() && sortedCells[i].row == row &&
           sortedCells[i].column == right + 1) {
      ++right;
      ++i;
    }
    const auto open = openBySpan.find({left, right});
    if (open != openBySpan.end() && areas[open->second].bottom == row - 1) {
      areas[open->second].bottom = row;
    } else {
      openBySpan[{left, right}] = areas.size();
      areas.push_back({row, left, row, right});
    }
  }
  return areas;
}

std::vector<Area> IntersectAreas(const std::vector<Area>& a, const std::vector<Area>& b) {
  // Index b by top row; an area of b can only meet x if its top lies within the tallest b
  // area's height above x. With the usual shapes (one big area against many small ones) this
  // keeps the work near the size of the answer.
  std::vector<std::size_t> byTop(b.size());
  std::iota(byTop.begin(), byTop.end(), std::size_t{0});
  std::sort(byTop.begin(), byTop.end(), [&](std::size_t l, std::size_t r) {
    return std::pair(b[l].top, l) < std::pair(b[r].top, r);
  });
  std::int32_t tallest = 0;
  for (const Area& area : b) {
    tallest = std::max(tallest, area.bottom - area.top + 1);
  }

  std::vector<Area> result;
  std::vector<std::size_t> hits;
  for (const Area& x : a) {
    const std::int32_t lowestTop = x.top - tallest + 1;
    auto it =
        std::lower_bound(byTop.begin(), byTop.end(), lowestTop,
                         [&](std::size_t index, std::int32_t top) { return b[index].top < top; });
    hits.clear();
    for (; it != byTop.end() && b[*it].top <= x.bottom; ++it) {
      if (Overlap(x, b[*it])) {
        hits.push_back(*it);
      }
    }
    std::sort(hits.begin(), hits.end());
    for (std::size_t index : hits) {
      result.push_back(*Overlap(x, b[index]));
    }
  }
  return result;
}

}  // namespace morvane::sim
