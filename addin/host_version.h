#pragma once

// The host-version test: hosts up to version 11 (Excel 2003) show the classic menu, later ones
// the ribbon.

#include "addin/model/version_number.h"

namespace morvane {

// Asks the host in xlApp for its version. True for a version of 11 or lower; a text that is not
// a number counts as classic too. A failed host call goes to the caller, which counts it as
// classic as well.
bool IsClassicHost();

}  // namespace morvane
