#pragma once

#include <string>

namespace morvane::win32 {

// The add-in's title: the caption of every message box.
inline constexpr wchar_t kMessageCaption[] = L"Morvane";

// A plain message box, the OK button only and no icon, owned by the thread's active window
// (the wizard while it is open, otherwise the host's window) so that it is modal to it.
// Returns when the user has dismissed it.
void ShowMessageBox(const std::u16string& text);

}  // namespace morvane::win32
