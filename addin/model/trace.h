#pragma once

// Notes for the add-in's developer that the user never sees: a programming error that a
// continue-on-error step swallowed, an unexpected exception at a COM boundary. A test program
// writes them to stderr; the DLL sends them to the debugger (OutputDebugString) when it loads.

#include <exception>
#include <string_view>

namespace morvane {

// Receives one note, a line of UTF-8 text without its line break.
using TraceSink = void (*)(std::string_view line);

// Sends every later note to sink; returns the sink it replaces.
TraceSink SetTraceSink(TraceSink sink) noexcept;

// Leaves a note. A sink that fails loses the note, never the caller's work.
void Trace(std::string_view line) noexcept;

// The note for an exception that was caught and dropped: what it says, after what dropped it.
void TraceDropped(std::string_view where, const std::exception& error) noexcept;

}  // namespace morvane
