// The host-version reader: any text gives either nothing or a finite number that is not
// negative, surrounding spaces change nothing, and "." reads like the user's separator.

#include <cmath>
#include <optional>

#include "addin/host_version.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  using namespace morvane::fuzz;
  if (size < 2) {
    return 0;
  }
  const char16_t separator = data[0] % 2 == 0 ? u'.' : u',';
  const std::u16string text = TextFrom(data + 1, size - 1);
  const std::optional<double> number = ReadVersionNumber(text, separator);
  if (number) {
    Require(std::isfinite(*number) && *number >= 0, "a version is a finite number, not negative");
  }
  Require(ReadVersionNumber(u" " + text + u" ", separator) == number,
          "surrounding spaces change nothing");
  if (number && separator == u',' && text.find(u',') == std::u16string::npos) {
    Require(ReadVersionNumber(text, u'.') == number, "\".\" reads the same in any locale");
  }
  return 0;
}
