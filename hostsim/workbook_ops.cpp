#include "hostsim/workbook_ops.h"

#include <algorithm>

#include "addin/model/errors.h"
#include "hostsim/sheet_names.h"
#include "hostsim/sheet_references.h"

namespace morvane::sim {
namespace {

std::size_t IndexOf(const Workbook& workbook, const SheetData& sheet) {
  const auto it = std::find_if(workbook.sheets.begin(), workbook.sheets.end(),
                               [&](const auto& s) { return s.get() == &sheet; });
  return static_cast<std::size_t>(it - workbook.sheets.begin());
}

bool NameTaken(const Workbook& workbook, const std::u16string& name, const SheetData* except) {
  return std::any_of(workbook.sheets.begin(), workbook.sheets.end(), [&](const auto& s) {
    return s.get() != except && SameSheetName(s->name, name);
  });
}

std::size_t VisibleCount(const Workbook& workbook) {
  return static_cast<std::size_t>(
      std::count_if(workbook.sheets.begin(), workbook.sheets.end(),
                    [](const auto& s) { return s->visibility == kSheetVisible; }));
}

// The sheet Excel shows when the active one goes: the next visible sheet to its right, else
// the nearest visible one to its left.
std::shared_ptr<SheetData> Successor(const Workbook& workbook, const SheetData& leaving) {
  const std::size_t at = IndexOf(workbook, leaving);
  for (std::size_t i = at + 1; i < workbook.sheets.size(); ++i) {
    if (workbook.sheets[i]->visibility == kSheetVisible) {
      return workbook.sheets[i];
    }
  }
  for (std::size_t i = at; i-- > 0;) {
    if (workbook.sheets[i]->visibility == kSheetVisible) {
      return workbook.sheets[i];
    }
  }
  return nullptr;
}

// A copy within the workbook duplicates the names that refer to its source: a workbook-level
// name ends up referring to whichever of the two sheets comes first in tab order, and the
// later one gets a local name of its own; the source's local names are duplicated on the copy.
void CopyNames(Workbook& workbook, const std::shared_ptr<SheetData>& source,
               const std::shared_ptr<SheetData>& copy) {
  const bool copyFirst = IndexOf(workbook, *copy) < IndexOf(workbook, *source);
  const std::shared_ptr<SheetData>& earlier = copyFirst ? copy : source;
  const std::shared_ptr<SheetData>& later = copyFirst ? source : copy;
  std::vector<DefinedName> added;
  for (DefinedName& name : workbook.names) {
    const bool toSource = name.refersTo.lock() == source;
    if (name.workbookLevel && toSource) {
      name.refersTo = earlier;
      added.push_back({name.name, later, false, later});
    } else if (!name.workbookLevel && name.localTo.lock() == source) {
      added.push_back({name.name, copy, false, toSource ? copy : name.refersTo});
    }
  }
  workbook.names.insert(workbook.names.end(), added.begin(), added.end());
}

}  // namespace

void RenameSheet(Workbook& workbook, SheetData& sheet, const std::u16string& name) {
  if (workbook.structureProtected) {
    throw errors::Excel(errors::kApplicationDefined);
  }
  if (!IsValidSheetName(name)) {
    throw errors::Excel(errors::kInvalidSheetName);
  }
  if (NameTaken(workbook, name, &sheet)) {
    throw errors::Excel(errors::kSheetNameTaken);
  }
  for (const auto& each : workbook.sheets) {
    RetargetFormulas(*each, sheet.name, name);
  }
  sheet.name = name;
}

void SetVisibility(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, int visibility) {
  if (visibility != kSheetVisible && visibility != kSheetHidden && visibility != kSheetVeryHidden) {
    throw errors::Excel(errors::kSetVisibleFailed);
  }
  if (workbook.structureProtected) {
    throw errors::Excel(errors::kSetVisibleFailed);
  }
  if (visibility == sheet->visibility) {
    return;
  }
  if (sheet->visibility == kSheetVisible && VisibleCount(workbook) == 1) {
    throw errors::Excel(errors::kSetVisibleFailed);
  }
  if (visibility != kSheetVisible && workbook.activeSheet == sheet) {
    workbook.activeSheet = Successor(workbook, *sheet);
  }
  sheet->visibility = visibility;
}

std::shared_ptr<SheetData> CopySheetAfter(const std::shared_ptr<SheetData>& source,
                                          SheetData& anchor) {
  const std::shared_ptr<Workbook> workbook = anchor.workbook.lock();
  if (!workbook) {
    throw errors::Disconnected();
  }
  if (workbook->structureProtected) {
    throw errors::Excel(errors::kWorkbookProtected);
  }
  auto copy = std::make_shared<SheetData>(*source);
  copy->name = CopyName(source->name, [&](const std::u16string& name) {
    return NameTaken(*workbook, name, nullptr);
  });
  copy->workbook = workbook;
  copy->alive = true;
  RetargetFormulas(*copy, source->name, copy->name);
  workbook->sheets.insert(
      workbook->sheets.begin() + static_cast<std::ptrdiff_t>(IndexOf(*workbook, anchor)) + 1, copy);
  CopyNames(*workbook, source, copy);
  if (copy->visibility == kSheetVisible) {
    workbook->activeSheet = copy;
  }
  return copy;
}

void DeleteSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet, bool displayAlerts,
                 int& confirmations) {
  if (workbook.structureProtected) {
    throw errors::Excel(errors::kDeleteFailed);
  }
  if (sheet->visibility == kSheetVisible && VisibleCount(workbook) == 1) {
    throw errors::Excel(errors::kDeleteFailed);
  }
  if (displayAlerts) {
    ++confirmations;
  }
  if (workbook.activeSheet == sheet) {
    workbook.activeSheet = Successor(workbook, *sheet);
  }
  workbook.sheets.erase(workbook.sheets.begin() +
                        static_cast<std::ptrdiff_t>(IndexOf(workbook, *sheet)));
  sheet->alive = false;
  for (const auto& each : workbook.sheets) {
    RetargetFormulas(*each, sheet->name, {});
  }
  // Its local names go with it; names elsewhere that refer to it are #REF! from now on.
  std::erase_if(workbook.names, [&](const DefinedName& name) {
    return !name.workbookLevel && name.localTo.lock() == sheet;
  });
}

void ActivateSheet(Workbook& workbook, const std::shared_ptr<SheetData>& sheet) {
  if (sheet->visibility != kSheetVisible) {
    throw errors::Excel(errors::kActivateFailed);
  }
  workbook.activeSheet = sheet;
}

}  // namespace morvane::sim
