#pragma once

// The Click event of an Office command bar button, delivered to a host::ClickHandler.

#include <memory>

#include "addin/com/excel/dispatch_call.h"
#include "addin/model/host.h"

namespace morvane::com {

// Connects handler to button's _CommandBarButtonEvents. The returned connection Unadvises when
// released; from then on the handler is never called again, even by a Click already on its way.
// Throws HostError when the object raises no such events (a popup) or refuses the sink.
std::unique_ptr<host::EventConnection> ConnectButtonClick(const DispatchObject& button,
                                                          host::ClickHandler handler);

}  // namespace morvane::com
