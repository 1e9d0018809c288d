#include "convert/win32/progress_position.h"

#include <algorithm>
#include <cmath>

#include "resources/dialog_ids.h"

namespace morvane::win32 {

int ProgressBarPosition(float value, float maximum) {
  if (!(maximum > 0) || !std::isfinite(maximum) || !(value > 0)) {
    return 0;  // also NaN
  }
  const double share = std::min(1.0, static_cast<double>(value) / maximum);
  return static_cast<int>(std::lround(share * MORVANE_PROGRESS_STEPS));
}

}  // namespace morvane::win32
