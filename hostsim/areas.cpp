#include "hostsim/areas.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <tuple>
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
  // Index b by (top, left). An area of b can only meet x if its top lies no more than the
  // tallest b area's height above x, and its left no more than the widest one's width to the
  // left of x; within each top row of that window a binary search finds the first candidate.
  // The work stays near the size of the answer for the shapes that occur: one large area
  // against many small ones, or many single cells against many single cells.
  std::vector<std::size_t> order(b.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto corner = [&](std::size_t i) { return std::tuple(b[i].top, b[i].left, i); };
  std::sort(order.begin(), order.end(),
            [&](std::size_t l, std::size_t r) { return corner(l) < corner(r); });
  std::int32_t tallest = 0;
  std::int32_t widest = 0;
  for (const Area& area : b) {
    tallest = std::max(tallest, area.bottom - area.top + 1);
    widest = std::max(widest, area.right - area.left + 1);
  }
  // The first index in `order` at or after (top, left).
  const auto seek = [&](auto from, std::int32_t top, std::int32_t left) {
    return std::lower_bound(from, order.end(), std::pair(top, left),
                            [&](std::size_t i, const std::pair<std::int32_t, std::int32_t>& key) {
                              return std::pair(b[i].top, b[i].left) < key;
                            });
  };

  std::vector<Area> result;
  std::vector<std::size_t> hits;
  for (const Area& x : a) {
    hits.clear();
    const std::int32_t lowestLeft = x.left - widest + 1;
    auto it = seek(order.begin(), x.top - tallest + 1, lowestLeft);
    while (it != order.end() && b[*it].top <= x.bottom) {
      const Area& candidate = b[*it];
      if (candidate.left < lowestLeft) {
        it = seek(it, candidate.top, lowestLeft);
      } else if (candidate.left > x.right) {
        it = seek(it, candidate.top + 1, lowestLeft);
      } else {
        if (Overlap(x, candidate)) {
          hits.push_back(*it);
        }
        ++it;
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
