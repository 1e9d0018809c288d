#include "convert/wizard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "addin/model/continue_on_error.h"
#include "addin/model/errors.h"
#include "addin/model/ui_port.h"
#include "convert/cell_rewrite.h"
#include "convert/progress_caption.h"
#include "snapshot/busy_settings.h"
#include "snapshot/cells_with_values.h"
#include "snapshot/connected_host.h"
#include "snapshot/constant_cells.h"
#include "snapshot/main_code.h"

namespace morvane {

bool bStop = false;

namespace {

void ShowMessage(std::u16string_view text) noexcept {
  RunStep([text] { ui::Current().ShowMessage(std::u16string(text)); });
}

// What Selection gives may be Nothing; range calls on it fail as they would in Excel.
std::shared_ptr<host::Range> CurrentSelection(host::Application& app) {
  auto selection = app.Selection();
  if (!selection) {
    ThrowObjectNotSet();
  }
  return selection;
}

// COUNTA of the selection as a 32-bit count; 0 when it cannot be taken (a selection that is not
// a range, for one).
std::int32_t CountNonEmptyCells() noexcept {
  std::int32_t count = 0;
  RunStep([&count] {
    const auto app = ConnectedHost();
    const double counted = app->CountA(CurrentSelection(*app));
    if (!(counted >= 0 && counted <= std::numeric_limits<std::int32_t>::max())) {
      throw std::overflow_error("cell count out of range");
    }
    count = static_cast<std::int32_t>(counted);
  });
  return count;
}

// The constant cells of the selection, or nullptr when it holds none. A one-cell selection
// makes Excel search the whole sheet for constants, so the result is cut back to the selection.
// Excel answers "No cells were found" with its error 1004, which a refusal with the same code
// cannot be told from; any other failure goes to the caller.
std::shared_ptr<host::Range> ConstantCellsOfSelection() {
  const auto app = ConnectedHost();
  const auto selection = CurrentSelection(*app);
  std::shared_ptr<host::Range> constants;
  try {
    constants = selection->SpecialCells(host::kCellTypeConstants);
  } catch (const host::HostError& error) {
    if (error.hresult() == errors::kExcelError) {
      return nullptr;
    }
    throw;
  }
  return app->Intersect(constants, selection);
}

void ShowProgress(WizardForm& frmMV, std::int32_t visited, float progressMax) noexcept {
  // The bar cannot hold more than its maximum; the caption is computed from what it holds.
  const float value = std::min(static_cast<float>(visited), progressMax);
  RunStep([&] { frmMV.SetProgressValue(value); });
  RunStep([&] { frmMV.SetPercentCaption(PercentCaption(value, progressMax)); });
}

bool UserAskedToStop(WizardForm& frmMV) noexcept {
  return bStop || TestOrTrue([&] { return frmMV.CloseRequested(); });
}

// The constant cells of the selection in the host's order with their values, or nullptr when it
// holds none. Excel 2007 and earlier may answer the search with every cell of the selection,
// formulas included; there the selection is searched in blocks no answer can reach that limit
// with.
std::unique_ptr<CellsWithValues> CellsToVisit() {
  const auto app = ConnectedHost();
  const auto sheet = ActiveSheetOf(*app);
  if (SpecialCellsMayFallBack(*app)) {
    return std::make_unique<CellsWithValues>(
        app, sheet, ConstantCellsInBlocks(app, sheet, CurrentSelection(*app)));
  }
  const auto cells = ConstantCellsOfSelection();
  return cells ? std::make_unique<CellsWithValues>(app, sheet, OneRange(cells)) : nullptr;
}

// Visits the cells in the host's order. Each cell costs at most one write (and one format read
// for a text Excel might read as something else), one pass of message processing and one
// progress update; its value comes with a band of others where the cells lie in few areas, and
// is read on its own where they are scattered. Returns how many cells could not be converted:
// those whose read or conversion failed, and, when the walk itself fails, the counted cells it
// never reached. The constants are some of the non-empty cells, so a walk that goes on past the
// count has gone wrong, and ends the conversion as a failure.
std::int32_t ConvertCells(CellsWithValues& cells, WizardForm& frmMV, float progressMax,
                          std::int32_t cellCount) noexcept {
  std::int32_t visited = 0;
  std::int32_t unconverted = 0;
  const auto notReached = [&] { return unconverted + std::max(cellCount - visited, 1); };
  for (;;) {
    std::optional<CellRead> read;
    // A walk that fails cannot be resumed: the conversion ends there.
    if (!RunStep([&] { read = cells.Next(); })) {
      return notReached();
    }
    if (!read) {
      return unconverted;
    }
    if (visited == cellCount) {
      return notReached();
    }
    ++visited;
    const bool converted = RunStep([&] {
      if (const std::optional<CaseMode> mode = frmMV.SelectedOption()) {
        ConvertCellText(*read->cell, read->value.Get(), *mode);
      }
    });
    if (!converted) {
      ++unconverted;
    }
    RunStep([&] { frmMV.ProcessPendingMessages(); });
    ShowProgress(frmMV, visited, progressMax);
    if (UserAskedToStop(frmMV)) {
      return unconverted;
    }
  }
}

// A conversion that left cells as they were, or that went ahead without its undo copy, says so
// once at its end, so that it never looks like more than it did. Empty: nothing to say.
std::u16string ClosingMessage(std::int32_t unconverted, bool undoable) {
  std::u16string text;
  if (unconverted > 0) {
    const std::string digits = std::to_string(unconverted);
    text.assign(digits.begin(), digits.end());
    text += unconverted == 1 ? u" cell could not be changed!" : u" cells could not be changed!";
  }
  if (!undoable) {
    text += text.empty() ? u"" : u" ";
    text += u"This conversion cannot be undone!";
  }
  return text;
}

// Returns how many cells the conversion could not change; `undoable` tells whether it has its
// undo copy (a conversion that never started needs none).
std::int32_t ConvertSelection(WizardForm& frmMV, bool& undoable) noexcept {
  if (TestOrTrue([] { return ConnectedHost()->WorkbooksCount() == 0; })) {
    ShowMessage(u"Please add a New Workbook!");
    return 0;
  }
  ApplyBusySettingsEachStep();
  bStop = false;
  const std::int32_t cellCount = CountNonEmptyCells();
  if (cellCount == 0) {
    ShowMessage(u"Selection is Empty!");
    return 0;
  }
  const float progressMax = static_cast<float>(cellCount);
  RunStep([&] { frmMV.SetProgressMax(progressMax); });
  // A failed snapshot leaves the working sheet active with its selection; the conversion goes
  // ahead without an undo copy. One that failed before it removed the copy an earlier
  // conversion left would let that copy take back more than this conversion, so a host that
  // refused once (busy, or a call rejected) is asked a second time.
  undoable = RunStep([] { SnapshotActiveSheet(); }) || RunStep([] { SnapshotActiveSheet(); });
  RunStep([&] { frmMV.ShowStopInsteadOfConvert(); });
  std::unique_ptr<CellsWithValues> cells;
  if (!RunStep([&cells] { cells = CellsToVisit(); })) {
    return cellCount;  // not one cell could be reached
  }
  return cells ? ConvertCells(*cells, frmMV, progressMax, cellCount) : 0;
}

}  // namespace

void cmdConvert_Click(WizardForm& frmMV) noexcept {
  bool undoable = true;
  const std::int32_t unconverted = ConvertSelection(frmMV, undoable);
  // The closing steps run on every path, each one even when an earlier one fails.
  (void)ApplyNormalSettings(kWizardDoneStatusText);
  if (const std::u16string message = ClosingMessage(unconverted, undoable); !message.empty()) {
    ShowMessage(message);
  }
  RunStep([&] { frmMV.CloseAndDiscard(); });
}

void CommandButton1_Click() noexcept {
  bStop = true;
}

}  // namespace morvane
