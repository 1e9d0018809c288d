#include "addin/model/trace.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace morvane {
namespace {

void ToStandardError(std::string_view line) {
  std::fprintf(stderr, "Morvane: %.*s\n", static_cast<int>(line.size()), line.data());
}

std::atomic<TraceSink> sink{ToStandardError};

}  // namespace

TraceSink SetTraceSink(TraceSink replacement) noexcept {
  return sink.exchange(replacement);
}

void Trace(std::string_view line) noexcept {
  try {
    sink.load()(line);
  } catch (...) {
    // Nothing to do: the note was for a developer, and leaving it must not fail.
  }
}

void TraceDropped(std::string_view where, const std::exception& error) noexcept {
  try {
    std::string line(where);
    line += ": ";
    line += error.what();
    Trace(line);
  } catch (...) {
    // Out of memory while composing the note.
  }
}

}  // namespace morvane
