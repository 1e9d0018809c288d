#pragma once

// The add-in's Win32 user interface: message boxes, the wizard frmMV, the About box frmUG and
// the shell's browser launch, behind the portable ui::Port.

#include <memory>

#include "addin/model/ui_port.h"

struct HINSTANCE__;

namespace morvane::win32 {

// `module` holds the dialog templates (resources/morvane_dialogs.rc): the add-in's DLL, or a
// test program that links the templates itself. Every call must come from the thread that
// runs the host's user interface.
std::shared_ptr<ui::Port> CreateWin32Ui(HINSTANCE__* module);

}  // namespace morvane::win32
