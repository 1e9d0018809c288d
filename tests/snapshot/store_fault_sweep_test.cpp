// Undo and redo with Excel refusing one call: every call of the command, in turn. Whatever is
// refused, the command either completes or changes nothing, keeps at most one copy, leaves no
// copy visible and leaves Excel not suspended.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "snapshot/main_code.h"
#include "support/snapshot_settings_check.h"
#include "support/snapshot_simulated_excel.h"

namespace morvane {
namespace {

using fakes::SimulatedExcelTest;

// The workbook as the test compares it: the sheets in order, each with its visibility and
// cells.
struct WorkbookState {
  std::vector<std::u16string> names;
  std::map<std::u16string, int> visibility;
  std::map<std::u16string, std::map<std::string, sim::CellContent>> cells;
  friend bool operator==(const WorkbookState&, const WorkbookState&) = default;
};

WorkbookState Capture(const sim::Excel& excel) {
  WorkbookState state;
  state.names = excel.SheetNames();
  for (const auto& name : state.names) {
    state.visibility[name] = excel.SheetVisibility(name);
    state.cells[name] = excel.Cells(name);
  }
  return state;
}

class StoreFaultSweep : public SimulatedExcelTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool redo() const { return GetParam(); }

  // Undo-ready (for undo) or redo-ready (for redo), with counters and log cleared.
  void Arrange() {
    excel = sim::Excel::Create();
    xlApp = excel;
    excel->AddWorkbook({u"Intro", u"Sheet1", u"Notes"});
    excel->ActivateSheet(u"Sheet1");
    excel->Put(u"Sheet1", "A1", std::u16string(u"before"));
    excel->Put(u"Sheet1", "A2", 1.5);
    SnapshotActiveSheet();
    excel->Put(u"Sheet1", "A1", std::u16string(u"after"));
    if (redo()) {
      UndoLastChange();
    }
    excel->ClearSettingsLog();
    excel->ResetCounters();
  }

  void Operate() { redo() ? RedoLastChange() : UndoLastChange(); }
};

TEST_P(StoreFaultSweep, EveryRefusedCallLeavesTheStoreWholeAndTheHostRestored) {
  Arrange();
  const WorkbookState unchanged = Capture(*excel);
  Operate();
  const long long calls = excel->TotalCalls();
  const WorkbookState swapped = Capture(*excel);
  ASSERT_NE(unchanged, swapped);

  for (long long k = 1; k <= calls; ++k) {
    SCOPED_TRACE("host call " + std::to_string(k) + " of " + std::to_string(calls) + " refused");
    Arrange();
    excel->FailNthCall(k, host::HostError(host::kExcelError, u"refused"));
    EXPECT_THROW(Operate(), host::HostError);

    const WorkbookState after = Capture(*excel);
    // Either the swap happened or nothing did: never both copies, a visible copy, or a
    // working sheet without its name.
    EXPECT_TRUE(after == unchanged || after == swapped);
    fakes::ExpectHostNotSuspended(*excel);
    // Once the busy status text was shown, the command ends on "Ready".
    EXPECT_TRUE(excel->SettingsLog().empty() || excel->CurrentSettings().statusBar == u"Ready" ||
                fakes::SettingWriteRefused(*excel, "StatusBar"));
  }
  RecordProperty("faults_injected", static_cast<int>(calls));
}

INSTANTIATE_TEST_SUITE_P(UndoAndRedo, StoreFaultSweep, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Redo" : "Undo";
                         });

}  // namespace
}  // namespace morvane
