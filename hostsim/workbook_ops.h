#pragma once

// What Excel does to a workbook's sheet list: rename, show and hide, copy, delete, activate.
// Each refuses as Excel does, by throwing host::HostError, and changes nothing when it refuses.

#include <memory>
#include <string>

#include "hostsim/state.h"

namespace morvane::sim {

void RenameSheet(Workbook& workbook, SheetData& sheet, const std::u16string& name);
void SetVisibility(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, int visibility);
// Copies `source` into `anchor`'s workbook, just after `anchor`; the copy is active afterwards
// unless it is hidden. The defined names go as Excel takes them along (workbook_ops.cpp).
std::shared_ptr<SheetData> CopySheetAfter(const std::shared_ptr<SheetData>& source,
                                          SheetData& anchor);
// Deletes the sheet; `confirmations` counts the prompt Excel shows while alerts are on (its
// default answer, Delete, goes ahead).
void DeleteSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, bool displayAlerts,
                 int& confirmations);
void ActivateSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet);

}  // namespace morvane::sim
