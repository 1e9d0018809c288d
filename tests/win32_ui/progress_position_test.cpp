// ProgressBar1's whole steps for the single-precision value and maximum Convert gives the form.

#include <gtest/gtest.h>

#include <limits>

#include "convert/win32/progress_position.h"
#include "resources/dialog_ids.h"

namespace morvane::win32 {
namespace {

TEST(ProgressBarPosition, ShowsTheShareOfTheMaximumRoundedAndKeptInTheBar) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  struct Row {
    float value, maximum;
    int steps;
  };
  const Row rows[] = {
      {0, 8, 0},
      {1, 8, 1250},
      {3, 8, 3750},
      {8, 8, MORVANE_PROGRESS_STEPS},
      {1, 3, 3333},
      {2, 3, 6667},                    // rounded, not cut
      {9, 8, MORVANE_PROGRESS_STEPS},  // never past the end
      {-1, 8, 0},
      {1, 0, 0},  // no maximum yet
      {1, -5, 0},
      {kNaN, 8, 0},
      {1, kNaN, 0},
      {1, kInfinity, 0},
      {1, 2147483648.0f, 0},  // the largest cell count, one cell done
      {2147483648.0f, 2147483648.0f, MORVANE_PROGRESS_STEPS},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ProgressBarPosition(row.value, row.maximum), row.steps)
        << row.value << " of " << row.maximum;
  }
}

}  // namespace
}  // namespace morvane::win32
