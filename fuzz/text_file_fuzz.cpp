// The markup file reader on any bytes: it never fails on a file within the size limit, a file
// with the UTF-8 mark gives the UTF-8 reading of the rest, any other the code page's.

#include <string_view>

#include "addin/model/utf8.h"
#include "addin/text_file.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/ribbon_fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace morvane;
  using namespace morvane::fuzz;
  static fakes::FakeRibbonPlatform platform;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform.WriteRibbonFile(bytes);
  const std::u16string text = ReadTextFile(platform.RibbonFile(), platform);
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kMark)) {
    Require(text == Utf8ToUtf16(bytes.substr(kMark.size())), "marked files read as UTF-8");
  } else {
    Require(text == fakes::Windows1252ToUtf16(bytes), "other files read through the code page");
  }
  return 0;
}
