#include "tests/e2e/session_words.h"

#include "hostsim/address.h"
#include "tests/e2e/harness_text.h"

namespace morvane::e2e {

std::u16string U16(const Word& word) {
  return Utf8ToUtf16(word.text);
}

std::vector<std::u16string> CaptionPath(const std::string& text) {
  std::vector<std::u16string> path;
  std::size_t from = 0;
  while (true) {
    const std::size_t slash = text.find(" / ", from);
    std::string part = text.substr(from, slash == std::string::npos ? slash : slash - from);
    while (!part.empty() && part.back() == ' ') {
      part.pop_back();
    }
    path.push_back(Utf8ToUtf16(part));
    if (slash == std::string::npos) {
      return path;
    }
    from = slash + 3;
  }
}

std::vector<std::string> Cells(const std::string& address) {
  std::vector<std::string> cells;
  for (const sim::Area& area : sim::ParseAddress(address)) {
    for (std::int32_t row = area.top; row <= area.bottom; ++row) {
      for (std::int32_t column = area.left; column <= area.right; ++column) {
        cells.push_back(sim::FormatCell({row, column}));
      }
    }
  }
  return cells;
}

}  // namespace morvane::e2e
