// Undo and redo restore the working sheet in place from its hidden copy. The working sheet is
// never renamed, hidden or deleted: in Excel a reference to a sheet follows the sheet object,
// so renaming it would move every outside formula, name and chart onto the copy, and deleting
// that copy later would turn them into #REF!.

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "addin/model/continue_on_error.h"
#include "addin/model/errors.h"
#include "addin/model/ui_port.h"
#include "convert/rules/case_rules.h"
#include "convert/rules/text_entry.h"
#include "snapshot/busy_settings.h"
#include "snapshot/cells_with_values.h"
#include "snapshot/connected_host.h"
#include "snapshot/constant_cells.h"
#include "snapshot/copy_names.h"
#include "snapshot/main_code.h"
#include "snapshot/reversible_steps.h"
#include "snapshot/sheet_copy.h"

namespace morvane {
namespace {

// The first sheet in workbook order whose name is exactly `name`, letter case included.
std::shared_ptr<host::Sheet> FindExactly(host::Application& app, const std::u16string& name) {
  const auto sheets = app.Sheets();
  const std::int32_t count = sheets->Count();
  for (std::int32_t i = 1; i <= count; ++i) {
    auto sheet = sheets->Item(i);
    if (sheet->Name() == name) {
      return sheet;
    }
  }
  return nullptr;
}

std::shared_ptr<host::Sheet> SheetNamed(host::Application& app, const std::u16string& name) {
  return app.Sheets()->Item(name);
}

// Runs an undo or redo between the busy and the normal settings. The normal settings are
// applied on every path, so a step that fails part-way never leaves Excel without screen
// updates, recalculation or alerts; then the first failure goes to the caller.
template <class Operation>
void WhileHostIsBusy(Operation&& operation) {
  std::exception_ptr failure;
  try {
    ApplyBusySettings();
    operation();
  } catch (...) {
    failure = std::current_exception();
  }
  const std::exception_ptr restoreFailure = ApplyNormalSettings(kStoreDoneStatusText);
  if (!failure) {
    failure = restoreFailure;
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
}

// True when the command can run; otherwise the user has been told why.
bool WorkbookIsOpen(host::Application& app) {
  if (app.WorkbooksCount() != 0) {
    return true;
  }
  ui::Current().ShowMessage(u"Pleas add or open a workbook!!");
  return false;
}

// The text a value holds, or nothing when it is no text.
const std::u16string* TextOf(const host::CellValue& value) {
  return std::get_if<std::u16string>(&value);
}

// True when two texts differ in letter case alone: the same length, and at every place the same
// character, or two that the simple one-to-one case mappings of the case rules make equal.
bool DiffersInCaseOnly(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  const std::u16string upperA = ApplyCase(a, CaseMode::UpperCase);
  const std::u16string upperB = ApplyCase(b, CaseMode::UpperCase);
  const std::u16string lowerA = ApplyCase(a, CaseMode::LowerCase);
  const std::u16string lowerB = ApplyCase(b, CaseMode::LowerCase);
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && upperA[i] != upperB[i] && lowerA[i] != lowerB[i]) {
      return false;
    }
  }
  return true;
}

// The constant cells of the working sheet's used range. Excel 2007 and earlier may answer a
// search with every cell, formulas included, so there the cells are searched in blocks.
std::unique_ptr<RangeSource> ConstantCellsOfSheet(const std::shared_ptr<host::Application>& app,
                                                  const std::shared_ptr<host::Sheet>& working,
                                                  const std::shared_ptr<host::Range>& used) {
  if (SpecialCellsMayFallBack(*app)) {
    return ConstantCellsInBlocks(app, working, used);
  }
  return OneRange(used->SpecialCells(host::kCellTypeConstants));
}

// Takes back the letter case a conversion gave the working sheet, from `copy`: a constant text
// cell whose text differs from the copy's text at the same place in letter case alone takes the
// copy's text. A conversion changes nothing else, so every other difference (a sorted table, an
// inserted row, a retyped cell) is the user's work since, and stays as it is; numbers, formulas,
// formats and cells that are empty on either side stay as they are too. Both sheets are read in
// the same bands where that is cheaper, and only the cells restored are written. Each write is
// recorded with the one that takes it back. Returns how many texts were left because they
// changed beyond letter case. More cells than the used range holds would be a walk gone wrong:
// it then fails, so the command is taken back rather than finished short, as it is when any read
// fails.
std::int32_t WriteBackLetterCase(const std::shared_ptr<host::Application>& app,
                                 const std::shared_ptr<host::Sheet>& working,
                                 const std::shared_ptr<host::Sheet>& copy, ReversibleSteps& steps) {
  const auto used = working->UsedRange();
  // An empty sheet has no constants, and Excel's "No cells were found" could not be told from a
  // refusal; counting first keeps every refusal a failure.
  const double nonEmpty = app->CountA(used);
  if (nonEmpty == 0) {
    return 0;
  }
  CellsWithValues cells(app, working, ConstantCellsOfSheet(app, working, used), copy);
  std::int32_t leftAsTheyAre = 0;
  double visited = 0;
  while (const std::optional<CellRead> read = cells.Next()) {
    if (++visited > nonEmpty) {
      throw host::HostError(errors::kFail, u"The host enumerated more cells than the sheet holds.");
    }
    const std::u16string* now = TextOf(read->value.Get());
    if (now == nullptr) {
      continue;
    }
    const host::CellValue keptValue = cells.Counterpart(*read);
    const std::u16string* kept = TextOf(keptValue);
    if (kept == nullptr || *kept == *now) {
      continue;
    }
    if (!DiffersInCaseOnly(*kept, *now)) {
      ++leftAsTheyAre;
      continue;
    }
    const auto& cell = read->cell;
    steps.Run([&] { WriteTextAsText(*cell, *kept); },
              [cell, previous = *now] { WriteTextAsText(*cell, previous); });
  }
  return leftAsTheyAre;
}

// Restores the working sheet in place from one copy and keeps its present state as the other:
// the working sheet object keeps its name, its identity and its tab, so every formula, name
// and chart that refers to it keeps its target. The present state is copied aside first, the
// texts are written back, and the copy restored from is deleted last. A step that fails is
// taken back with every step before it (the new copy goes, the cells get their texts back), so
// the workbook is as it was before the command; the failure goes on.
std::int32_t RestoreInPlace(const std::shared_ptr<host::Application>& app,
                            const std::u16string& name,
                            const std::shared_ptr<host::Sheet>& restoreFrom,
                            const std::u16string& keepAs) {
  const auto working = SheetNamed(*app, name);
  std::shared_ptr<host::Sheet> kept;
  ReversibleSteps steps;
  try {
    steps.Run([&] { kept = CopyAsHidden(*app, *working, name, keepAs); },
              [&kept, working] {
                RunStep([&] { kept->Delete(); });
                working->Activate();
              });
    // Hiding the new copy, placed after the working sheet, made Excel show the next tab.
    working->Activate();
    const std::int32_t leftAsTheyAre = WriteBackLetterCase(app, working, restoreFrom, steps);
    restoreFrom->Delete();
    return leftAsTheyAre;
  } catch (...) {
    steps.TakeBack();
    throw;
  }
}

// Cells left because they changed since the conversion are named once, at the end.
void TellOfCellsLeft(std::int32_t count) {
  if (count == 0) {
    return;
  }
  const std::string digits = std::to_string(count);
  ui::Current().ShowMessage(std::u16string(digits.begin(), digits.end()) +
                            (count == 1
                                 ? u" cell changed since the conversion was left as it is!"
                                 : u" cells changed since the conversion were left as they are!"));
}

using CopyName = std::u16string (*)(const std::u16string& sheetName);

// Undo and redo alike: the working sheet is restored from its copy named `restoreFrom`, if there
// is one, keeping its present state as the copy named `keepAs`, and is the active sheet again.
void RestoreFromCopy(CopyName restoreFrom, CopyName keepAs) {
  const auto app = ConnectedHost();
  if (!WorkbookIsOpen(*app)) {
    return;
  }
  std::int32_t leftAsTheyAre = 0;
  WhileHostIsBusy([&] {
    const std::u16string name = ActiveSheetOf(*app)->Name();
    if (const auto copy = FindExactly(*app, restoreFrom(name))) {
      leftAsTheyAre = RestoreInPlace(app, name, copy, keepAs(name));
    }
    SheetNamed(*app, name)->Activate();
  });
  TellOfCellsLeft(leftAsTheyAre);
}

}  // namespace

void UndoLastChange() {
  RestoreFromCopy(UndoCopyName, RedoCopyName);
}

void RedoLastChange() {
  RestoreFromCopy(RedoCopyName, UndoCopyName);
}

}  // namespace morvane
