#pragma once

// The portable halves of Connect's OnConnection and OnDisconnection. The COM class calls them
// and always answers the host with success: both run in continue-on-error mode and never fail.

#include <memory>

#include "addin/model/host.h"

namespace morvane {

// `application` is the host as Excel's Application, or nullptr when the object the host handed
// over is not one. Stores it in xlApp and, on a classic host, builds the menu popup.
void OnConnection(std::shared_ptr<host::Application> application);

// On a classic host deletes the popup (while xlApp still reaches the host; a refused removal is
// tried once more), then empties xlApp and colButtons, which releases every menu sink. Host
// shutdown and a user's unloading are handled alike.
void OnDisconnection();

}  // namespace morvane
