#pragma once

#include <memory>

#include "addin/model/ui_port.h"

struct HINSTANCE__;

namespace morvane::win32 {

// Creates the About box frmUG, hidden, owned by the thread's active window. Its footer's
// clicks go to `events`; releasing the window destroys it. Fails (std::runtime_error) when the
// dialog cannot be created.
std::unique_ptr<ui::AboutWindow> LoadAboutDialog(HINSTANCE__* module, ui::AboutEvents& events);

}  // namespace morvane::win32
