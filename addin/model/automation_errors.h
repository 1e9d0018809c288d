#pragma once

// Run-time errors the add-in raises itself, with the HRESULTs Automation gives them, so that a
// failure reaches the host exactly as the same mistake in Excel's own macro language would.

#include <cstdint>
#include <memory>

#include "addin/model/host.h"
#include "snapshot/connected_host.h"  // kObjectNotSet (error 91) and ConnectedHost() for xlApp

namespace morvane {

// Error 400: a form that is already on screen cannot be shown modally again.
inline constexpr std::int32_t kFormAlreadyShown = static_cast<std::int32_t>(0x800A0190);

// The object behind a reference, or error 91 when the reference is empty (a control that could
// not be added, an item the host did not find).
template <class T>
T& RequireObject(const std::shared_ptr<T>& object) {
  if (!object) {
    ThrowObjectNotSet();
  }
  return *object;
}

[[noreturn]] inline void ThrowFormAlreadyShown() {
  throw host::HostError(kFormAlreadyShown, u"Form already displayed; can't show modally");
}

}  // namespace morvane
