#pragma once

// The host model over the real Excel: Excel's Application, reached through IDispatch.

#include <memory>

#include "addin/model/host.h"

struct IDispatch;

namespace morvane::com {

// AddRefs application; every object reached from it is an adapter of the same kind. Calls
// are late-bound, pass locale 1033 and fail with host::HostError.
std::shared_ptr<host::Application> WrapExcelApplication(IDispatch* application);

}  // namespace morvane::com
