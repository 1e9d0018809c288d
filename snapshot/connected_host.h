#pragma once

#include <memory>

#include "addin/model/host.h"

namespace morvane {

// The host held in xlApp. While the add-in is not connected (or the host object was not an
// Excel Application) there is none, and every host call fails the way a call through an empty
// object reference does, as host::HostError, so both failure styles treat it like any other
// failed host call.
std::shared_ptr<host::Application> ConnectedHost();

// The active sheet. Excel answers Nothing while no workbook window is visible (only a hidden
// workbook such as PERSONAL.XLSB is open, which Workbooks.Count still counts); that fails as
// error 91 rather than reaching a null sheet.
std::shared_ptr<host::Sheet> ActiveSheetOf(host::Application& app);

}  // namespace morvane
