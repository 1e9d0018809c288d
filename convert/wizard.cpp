#include "convert/wizard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "addin/continue_on_error.h"
#include "addin/ui_port.h"
#include "convert/cell_rewrite.h"
#include "convert/progress_caption.h"
#include "snapshot/busy_settings.h"
#include "snapshot/connected_host.h"
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

// The constant cells of the selection. A one-cell selection makes Excel search the whole sheet
// for constants, so the result is cut back to the selection. Empty when there are none.
std::shared_ptr<host::Range> ConstantCellsOfSelection() noexcept {
  std::shared_ptr<host::Range> cells;
  RunStep([&cells] {
    const auto app = ConnectedHost();
    const auto selection = CurrentSelection(*app);
    cells = app->Intersect(selection->SpecialCells(host::kCellTypeConstants), selection);
  });
  return cells;
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

// Visits the cells in the host's order. Each cell costs one read, at most one write (two for a
// text Excel might read as something else), one pass of message processing and one progress
// update; nothing else reaches the host per cell.
void ConvertCells(host::Range& cells, WizardForm& frmMV, float progressMax) noexcept {
  std::unique_ptr<host::CellEnumerator> enumerator;
  if (!RunStep([&] { enumerator = cells.Cells(); })) {
    return;
  }
  std::int32_t visited = 0;
  for (;;) {
    std::shared_ptr<host::Range> cell;
    // An enumeration that fails cannot be resumed: the conversion ends there.
    if (!RunStep([&] { cell = enumerator->Next(); }) || !cell) {
      return;
    }
    ++visited;
    RunStep([&] {
      if (const std::optional<CaseMode> mode = frmMV.SelectedOption()) {
        ConvertCellText(*cell, *mode);
      }
    });
    RunStep([&] { frmMV.ProcessPendingMessages(); });
    ShowProgress(frmMV, visited, progressMax);
    if (UserAskedToStop(frmMV)) {
      return;
    }
  }
}

void ConvertSelection(WizardForm& frmMV) noexcept {
  if (TestOrTrue([] { return ConnectedHost()->WorkbooksCount() == 0; })) {
    ShowMessage(u"Please add a New Workbook!");
    return;
  }
  ApplyBusySettingsEachStep();
  bStop = false;
  const std::int32_t cellCount = CountNonEmptyCells();
  if (cellCount == 0) {
    ShowMessage(u"Selection is Empty!");
    return;
  }
  const float progressMax = static_cast<float>(cellCount);
  RunStep([&] { frmMV.SetProgressMax(progressMax); });
  // A failed snapshot leaves the working sheet active with its selection; the conversion goes
  // ahead without an undo copy.
  RunStep([] { SnapshotActiveSheet(); });
  RunStep([&] { frmMV.ShowStopInsteadOfConvert(); });
  if (const auto cells = ConstantCellsOfSelection()) {
    ConvertCells(*cells, frmMV, progressMax);
  }
}

}  // namespace

void cmdConvert_Click(WizardForm& frmMV) noexcept {
  ConvertSelection(frmMV);
  // The closing steps run on every path, each one even when an earlier one fails.
  (void)ApplyNormalSettings(kWizardDoneStatusText);
  RunStep([&] { frmMV.CloseAndDiscard(); });
}

void CommandButton1_Click() noexcept {
  bStop = true;
}

}  // namespace morvane
