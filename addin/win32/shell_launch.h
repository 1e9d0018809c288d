#pragma once

#include <cstdint>

#include "addin/model/ui_port.h"

namespace morvane::win32 {

// ShellExecuteA with every field of the request as given, texts in the system's ANSI code
// page; returns the shell's result (above 32 on success).
std::intptr_t ShellExecuteAnsi(const ui::ShellRequest& request);

}  // namespace morvane::win32
