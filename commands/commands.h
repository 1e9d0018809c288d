#pragma once

// The commands that the menu buttons and the ribbon buttons both lead to, besides undo and
// redo (snapshot/main_code.h). Each one fails with host::HostError (or the user interface's
// own failure) and leaves it to its caller whether the failure is dropped or reported.

namespace morvane::commands {

// Shows the conversion wizard frmMV modally; returns when it has closed.
void ShowWizard();
// Shows the About box frmUG modally; returns when it has closed.
void ShowAbout();
// Opens the online user guide in the default browser, without showing the About box.
void OpenUserGuide();
// Switches the add-in off: Connect := False on its own entry of the host's COMAddIns. The host
// disconnects the add-in before this returns.
void SwitchOff();

}  // namespace morvane::commands
