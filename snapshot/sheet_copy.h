#pragma once

// Copying the working sheet aside as a hidden copy, for the snapshot and for undo and redo.

#include <memory>
#include <string>

#include "addin/model/host.h"

namespace morvane {

// Copies the working sheet (the active sheet, named `name`) to a hidden sheet named `copyName`
// placed just after it, and returns the copy. After, not before: of the two sheets holding a
// workbook-level name once a sheet is copied, Excel keeps the name on the first in tab order,
// so a copy placed before would take the workbook's names with it, and deleting it would turn
// them into #REF!. The copy is left active, as Excel leaves a new copy. On failure the half-made
// copy is removed and the working sheet made active again, so nothing of the attempt remains; the
// failure still goes to the caller.
std::shared_ptr<host::Sheet> CopyAsHidden(host::Application& app, host::Sheet& working,
                                          const std::u16string& name,
                                          const std::u16string& copyName);

void ActivateWorkingSheet(host::Application& app, const std::u16string& name);

}  // namespace morvane
