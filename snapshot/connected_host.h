#pragma once

#include <memory>

#include "addin/model/host.h"

namespace morvane {

// VBA error 91, what a call through an empty object reference raises.
inline constexpr std::int32_t kObjectNotSet = static_cast<std::int32_t>(0x800A005B);

// The host held in xlApp. While the add-in is not connected (or the host object was not an
// Excel Application) there is none, and every host call fails the way a call through an empty
// object reference does, as host::HostError, so both failure styles treat it like any other
// failed host call.
std::shared_ptr<host::Application> ConnectedHost();

// What a call through an empty object reference raises: error 91.
[[noreturn]] void ThrowObjectNotSet();

// The active sheet. Excel answers Nothing while no workbook window is visible (only a hidden
// workbook such as PERSONAL.XLSB is open, which Workbooks.Count still counts); that fails as
// error 91 rather than reaching a null sheet.
std::shared_ptr<host::Sheet> ActiveSheetOf(host::Application& app);

}  // namespace morvane
