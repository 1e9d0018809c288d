#pragma once

// Copying the working sheet aside as a hidden copy, for the snapshot and for undo and redo.

#include <memory>
#include <string>

#include "addin/model/host.h"

namespace morvane {

// Copies the working sheet (the active sheet, named `name`) to a hidden sheet named `copyName`
// placed just before it, and returns the copy; the copy is left active, as Excel leaves a new
// copy. On failure the half-made copy is removed and the working sheet made active again, so
// nothing of the attempt remains; the failure still goes to the caller.
std::shared_ptr<host::Sheet> CopyAsHidden(host::Application& app, host::Sheet& working,
                                          const std::u16string& name,
                                          const std::u16string& copyName);

void ActivateWorkingSheet(host::Application& app, const std::u16string& name);

}  // namespace morvane
