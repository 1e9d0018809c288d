#pragma once

#include <windows.h>

namespace morvane::com {

// Every call into Excel passes en-US: an English Excel on another locale fails members that take
// a locale ("Old format or invalid type library"), and 1033 is what Excel's own tools pass.
inline constexpr LCID kExcelLocale = 1033;

}  // namespace morvane::com
