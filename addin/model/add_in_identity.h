#pragma once

// How the host knows the add-in.

#include <string_view>

namespace morvane {

// The ProgID: the project name, ".", the class name. Names the add-in's entry in the host's
// COMAddIns collection and its registration.
inline constexpr std::u16string_view kProgId = u"Morvane.Connect";

}  // namespace morvane
