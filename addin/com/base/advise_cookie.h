#pragma once

// AdviseCookie: one live connection of a sink to an event source (IConnectionPoint::Advise).
// The source holds a reference to the sink while connected, so the sink cannot die before the
// cookie is dropped; dropping it (destructor or reset()) Unadvises.

#include <windows.h>

#include <ocidl.h>

#include "addin/com/base/com_ptr.h"

namespace morvane::com {

class AdviseCookie {
 public:
  AdviseCookie() = default;
  // Connects sink to source's connection point for the events interface; throws ComError when
  // the source has no such connection point or refuses the sink.
  static AdviseCookie Advise(IUnknown* source, REFIID events, IUnknown* sink);

  AdviseCookie(AdviseCookie&& other) noexcept;
  AdviseCookie& operator=(AdviseCookie&& other) noexcept;
  AdviseCookie(const AdviseCookie&) = delete;
  AdviseCookie& operator=(const AdviseCookie&) = delete;
  ~AdviseCookie() { reset(); }

  // Cookie 0 means "not connected".
  bool connected() const { return cookie_ != 0; }
  DWORD cookie() const { return cookie_; }
  // Unadvises (ignoring a source that is already gone) and releases the connection point.
  void reset() noexcept;

 private:
  AdviseCookie(ComPtr<IConnectionPoint> point, DWORD cookie)
      : point_(std::move(point)), cookie_(cookie) {}

  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace morvane::com
