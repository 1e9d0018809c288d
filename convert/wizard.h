#pragma once

// The conversion wizard frmMV: its CONVERT and STOP handlers.

#include "convert/wizard_form.h"

namespace morvane {

// Set by STOP, cleared when a conversion starts, read after every cell.
extern bool bStop;

// CONVERT: converts the constant text cells of the current selection to the selected case,
// after taking a snapshot for undo, with progress shown on the form; then restores the host's
// settings and closes the form. Never fails: a step that fails is skipped.
void cmdConvert_Click(WizardForm& frmMV) noexcept;

// STOP: the running conversion ends after the current cell.
void CommandButton1_Click() noexcept;

}  // namespace morvane
