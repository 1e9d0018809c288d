#pragma once

struct HINSTANCE__;

namespace morvane::win32 {

// Shows the conversion wizard frmMV modally, owned by the thread's active window, in its
// design-time state; returns when it has closed. CONVERT runs cmdConvert_Click on it, STOP
// runs CommandButton1_Click. Fails (std::runtime_error) when the dialog cannot be created.
void RunWizardDialog(HINSTANCE__* module);

}  // namespace morvane::win32
