#pragma once

// The add-in's two failure styles. "No handler" procedures simply let host::HostError travel to
// their caller. "Continue on error" procedures run each step through RunStep: a step that fails
// is dropped and the procedure goes on with the next one; a failed test of a conditional step
// counts as true, so the step's body runs (use TestOrTrue).
//
// A failure of the host or of the system (HostError, bad_alloc, system_error) is what the style
// exists for and is dropped silently. A std::logic_error is a bug in the add-in itself: it is
// dropped too, so the user's procedure still completes, but it leaves a trace for a developer.

#include <stdexcept>

#include "addin/model/trace.h"

namespace morvane {

// Runs one step; returns false when it failed. Nothing is reported to the user.
template <class Step>
bool RunStep(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (const std::logic_error& error) {
    TraceDropped("a continue-on-error step dropped a programming error", error);
    return false;
  } catch (...) {
    return false;
  }
}

// Evaluates a condition of a continue-on-error procedure; a condition that fails counts as true.
template <class Condition>
bool TestOrTrue(Condition&& condition) noexcept {
  try {
    return condition();
  } catch (const std::logic_error& error) {
    TraceDropped("a continue-on-error test dropped a programming error", error);
    return true;
  } catch (...) {
    return true;
  }
}

}  // namespace morvane
