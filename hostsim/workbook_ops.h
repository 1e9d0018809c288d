#pragma once

// What Excel does to a workbook's sheet list: rename, show and hide, copy, delete, activate.
// Each refuses as Excel does, by throwing host::HostError, and changes nothing when it refuses.

#include <memory>
#include <string>

#include "hostsim/state.h"

namespace morvane::sim {

void RenameSheet(Workbook& workbook, SheetData& sheet, const std::u16string& name);
void SetVisibility(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, int visibility);
// Copies `source` into `before`'s workbook, in front of `before`; the copy is active
// afterwards unless it is hidden.
std::shared_ptr<SheetData> CopySheetBefore(const SheetData& source, SheetData& before);
// Deletes the sheet; `confirmations` counts the prompt Excel shows while alerts are on (its
// default answer, Delete, goes ahead).
void DeleteSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, bool displayAlerts,
                 int& confirmations);
void ActivateSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet);

}  // namespace morvane::sim
