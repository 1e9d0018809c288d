#pragma once

// The add-in's two failure styles. "No handler" procedures simply let host::HostError travel to
// their caller. "Continue on error" procedures run each step through RunStep: a step that fails
// is dropped and the procedure goes on with the next one; a failed test of a conditional step
// counts as true, so the step's body runs (use TestOrTrue).

#include <exception>

namespace morvane {

// Runs one step; returns false when it failed. Nothing is reported.
template <class Step>
bool RunStep(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

// Evaluates a condition of a continue-on-error procedure; a condition that fails counts as true.
template <class Condition>
bool TestOrTrue(Condition&& condition) noexcept {
  try {
    return condition();
  } catch (...) {
    return true;
  }
}

}  // namespace morvane
