#include "convert/progress_caption.h"

#include <cmath>
#include <string>

namespace morvane {

std::u16string PercentCaption(float value, float maximum) {
  // Stored through volatile floats so that an x87 build (the 32-bit DLL) rounds each step to
  // single precision as well, instead of keeping extended precision in registers.
  volatile float scaled = value * 100.0f;
  volatile float percent = scaled / maximum;
  long whole = 0;
  if (std::isfinite(percent) && std::fabs(percent) < 1e9f) {
    // The default rounding mode rounds halves to even.
    whole = std::lrint(std::nearbyint(static_cast<float>(percent)));
  }
  const std::string digits = std::to_string(whole);
  return std::u16string(digits.begin(), digits.end()) + u" %";
}

}  // namespace morvane
