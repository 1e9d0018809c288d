#pragma once

#include <string>

namespace morvane {

// lblPer's caption for the progress bar's value and maximum: value x 100 / maximum in single
// precision, rounded to a whole number with halves going to the even neighbour, then " %".
// With a maximum of 8: 1 gives "12 %", 3 gives "38 %".
std::u16string PercentCaption(float value, float maximum);

}  // namespace morvane
