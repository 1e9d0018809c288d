#pragma once

// Windows' high-contrast mode. While it is on, the dialogs paint with the system's colours
// (GetSysColor), which then hold the user's high-contrast scheme, instead of their own.

namespace morvane::win32 {

bool HighContrastOn();

}  // namespace morvane::win32
