// Area arithmetic against a brute-force model on random shapes: the indexed intersection and the
// grouping of cells into areas must agree with the obvious cell-by-cell answer.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "hostsim/areas.h"

namespace morvane::sim {
namespace {

std::vector<Area> RandomAreas(std::mt19937& random, int count, int maxSide) {
  std::uniform_int_distribution<int> corner(1, 12);
  std::uniform_int_distribution<int> side(1, maxSide);
  std::vector<Area> areas;
  for (int i = 0; i < count; ++i) {
    const int top = corner(random);
    const int left = corner(random);
    areas.push_back({top, left, top + side(random) - 1, left + side(random) - 1});
  }
  return areas;
}

TEST(Areas, IntersectionAgreesWithEveryPairCompared) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 500; ++round) {
    const auto a = RandomAreas(random, 1 + round % 7, round % 2 ? 1 : 6);
    const auto b = RandomAreas(random, 1 + round % 11, round % 3 ? 2 : 12);
    std::vector<Area> expected;
    for (const Area& x : a) {
      for (const Area& y : b) {
        if (const auto overlap = Overlap(x, y)) {
          expected.push_back(*overlap);
        }
      }
    }
    ASSERT_EQ(IntersectAreas(a, b), expected) << "round " << round;
  }
}

TEST(Areas, CellsGroupIntoDisjointAreasCoveringExactlyThem) {
  std::mt19937 random(7);
  std::bernoulli_distribution filled(0.4);
  for (int round = 0; round < 200; ++round) {
    std::vector<CellKey> cells;
    for (int row = 1; row <= 8; ++row) {
      for (int column = 1; column <= 8; ++column) {
        if (filled(random)) {
          cells.push_back({row, column});
        }
      }
    }
    const std::vector<Area> areas = AreasFromCells(cells);
    std::multiset<CellKey> covered;
    for (const Area& area : areas) {
      for (int row = area.top; row <= area.bottom; ++row) {
        for (int column = area.left; column <= area.right; ++column) {
          covered.insert({row, column});
        }
      }
    }
    ASSERT_EQ(std::vector<CellKey>(covered.begin(), covered.end()), cells) << "round " << round;
    for (std::size_t i = 1; i < areas.size(); ++i) {
      EXPECT_LT((CellKey{areas[i - 1].top, areas[i - 1].left}),
                (CellKey{areas[i].top, areas[i].left}));
    }
  }
}

}  // namespace
}  // namespace morvane::sim
