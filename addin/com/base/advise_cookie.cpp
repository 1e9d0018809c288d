#include "addin/com/base/advise_cookie.h"

#include <utility>

namespace morvane::com {

AdviseCookie AdviseCookie::Advise(IUnknown* source, REFIID events, IUnknown* sink) {
  auto container = ComPtr<IUnknown>(source).query<IConnectionPointContainer>(
      "QueryInterface(IConnectionPointContainer)");
  ComPtr<IConnectionPoint> point;
  Check(container->FindConnectionPoint(events, point.put()), "FindConnectionPoint");
  DWORD cookie = 0;
  Check(point->Advise(sink, &cookie), "IConnectionPoint::Advise");
  if (cookie == 0) {
    // A source that answers S_OK with the "not connected" cookie could never be unadvised.
    throw ComError(E_UNEXPECTED, "IConnectionPoint::Advise returned cookie 0");
  }
  return AdviseCookie(std::move(point), cookie);
}

AdviseCookie::AdviseCookie(AdviseCookie&& other) noexcept
    : point_(std::move(other.point_)), cookie_(std::exchange(other.cookie_, 0)) {}

AdviseCookie& AdviseCookie::operator=(AdviseCookie&& other) noexcept {
  if (this != &other) {
    reset();
    point_ = std::move(other.point_);
    cookie_ = std::exchange(other.cookie_, 0);
  }
  return *this;
}

void AdviseCookie::reset() noexcept {
  DWORD cookie = std::exchange(cookie_, 0);
  ComPtr<IConnectionPoint> point = std::move(point_);
  // The source may already have dropped its sinks (the host is shutting down); there is
  // nothing left to undo then, so the result is not an error worth reporting.
  if (cookie != 0 && point)
    point->Unadvise(cookie);
}

}  // namespace morvane::com
