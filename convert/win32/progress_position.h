#pragma once

namespace morvane::win32 {

// ProgressBar1 holds whole steps (0 to MORVANE_PROGRESS_STEPS) while the form keeps the
// single-precision value and maximum Convert gives it: the position shows value / maximum,
// rounded to the nearest step and kept within the bar. An empty or unusable maximum shows an
// empty bar.
int ProgressBarPosition(float value, float maximum);

}  // namespace morvane::win32
