#pragma once

// The refusals every fault sweep injects: Excel's own error, and the COM channel to it failing.

#include "addin/model/errors.h"

namespace morvane::fakes {

inline const host::HostError kHostRefusals[] = {
    errors::Excel(u"refused"),
    errors::Disconnected(),
    host::HostError(static_cast<std::int32_t>(0x80010001), u"RPC_E_CALL_REJECTED"),
};

}  // namespace morvane::fakes
