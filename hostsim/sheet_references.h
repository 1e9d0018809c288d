#pragma once

// References to sheets inside formulas ("=Sheet1!A1", "='My Sheet'!B2"). A reference follows
// the sheet object, not its name: renaming a sheet rewrites every formula of the workbook that
// names it, deleting the sheet turns those references into #REF!, and a copied sheet's
// references to its source point at the copy.

#include <string>

#include "hostsim/state.h"

namespace morvane::sim {

// The formula with every reference to the sheet named `from` (matched as Excel matches sheet
// names) naming `to` instead; an empty `to` gives "#REF!". References into other workbooks
// ("[Book2]Sheet1!A1") and text inside string literals are left alone.
std::u16string RetargetReferences(const std::u16string& formula, const std::u16string& from,
                                  const std::u16string& to);

// RetargetReferences over every formula of the sheet.
void RetargetFormulas(SheetData& sheet, const std::u16string& from, const std::u16string& to);

}  // namespace morvane::sim
