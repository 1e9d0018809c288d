// The add-in's two tests of which converted texts can go in without the prefix (the cheap one,
// and the exact one used at the length limit), against the simulated Excel's reading of typed
// input: a text either lets through must come back as the very same text, never as a number,
// date, logical, error, formula or prefixed text.

#include <string>
#include <variant>

#include "convert/rules/typed_input.h"
#include "fuzz/fuzz_input.h"
#include "hostsim/value_typing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  using namespace morvane::fuzz;
  const std::u16string text = TextFrom(data, size);
  if (MightBeReadAsOtherThanText(text) && !SurelyReadAsItself(text)) {
    return 0;
  }
  const sim::TypedInput read = sim::ReadTypedInput(text, 2026);
  const auto* same = std::get_if<std::u16string>(&read.value);
  Require(same != nullptr && *same == text && read.formula.empty() && !read.prefix,
          "a text let through is read back as itself");
  return 0;
}
