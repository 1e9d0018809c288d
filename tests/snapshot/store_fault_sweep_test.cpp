// Undo and redo with Excel refusing one call, with its own error or COM's: every call of the
// command, in turn, in tab layouts with the copies hidden and with the one restored from made
// visible by the user.
// Whatever is refused, the command either completes or leaves the workbook exactly as it was
// (sheets, order, visibility, active sheet, cells and the formulas that refer to the working
// sheet), and leaves Excel not suspended.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "snapshot/main_code.h"
#include "support/host_refusals.h"
#include "support/snapshot_settings_check.h"
#include "support/snapshot_simulated_excel.h"

namespace morvane {
namespace {

using fakes::SimulatedExcelTest;

// The workbook as the test compares it: the sheets in order, each with its visibility and
// cells.
struct WorkbookState {
  std::u16string active;
  std::vector<std::u16string> names;
  std::map<std::u16string, int> visibility;
  std::map<std::u16string, std::map<std::string, sim::CellContent>> cells;
  friend bool operator==(const WorkbookState&, const WorkbookState&) = default;
};

WorkbookState Capture(const sim::Excel& excel) {
  WorkbookState state;
  state.active = excel.ActiveSheetName();
  state.names = excel.SheetNames();
  for (const auto& name : state.names) {
    state.visibility[name] = excel.SheetVisibility(name);
    state.cells[name] = excel.Cells(name);
  }
  return state;
}

struct SweepCase {
  bool redo;
  bool copyShown;  // the user has made the copy the command restores from visible
  bool banded;     // 35 more converted texts in column B: the cells are read in bands
};

class StoreFaultSweep : public SimulatedExcelTest, public ::testing::WithParamInterface<SweepCase> {
 protected:
  bool redo() const { return GetParam().redo; }

  // Undo-ready (for undo) or redo-ready (for redo), with counters and log cleared. The working
  // sheet holds texts a conversion changes (one of them Excel would read as a date, one in a
  // Text-formatted cell), a number, and a formula; another sheet refers to it.
  void Arrange() {
    excel = sim::Excel::Create();
    xlApp = excel;
    excel->AddWorkbook({u"Intro", u"Sheet1", u"Notes"});
    excel->ActivateSheet(u"Sheet1");
    excel->Put(u"Sheet1", "A1", std::u16string(u"before"));
    excel->Put(u"Sheet1", "A2", 1.5);
    excel->Type(u"Sheet1", "A3", u"'jan 5");
    excel->SetNumberFormat(u"Sheet1", "A4", u"@");
    excel->Type(u"Sheet1", "A4", u"'quoted");
    excel->PutFormula(u"Sheet1", "A5", u"=A1", std::u16string(u"before"));
    excel->PutFormula(u"Notes", "A1", u"=Sheet1!A1", std::u16string(u"before"));
    const auto columnB = [this](const char16_t* text) {
      for (int row = 1; GetParam().banded && row <= 35; ++row) {
        excel->Put(u"Sheet1", std::string("B").append(std::to_string(row)), std::u16string(text));
      }
    };
    columnB(u"b text");
    beforeConversion_ = excel->Cells(u"Sheet1");
    SnapshotActiveSheet();
    columnB(u"B TEXT");
    excel->Put(u"Sheet1", "A1", std::u16string(u"BEFORE"));
    excel->Type(u"Sheet1", "A3", u"'JAN 5");
    excel->Type(u"Sheet1", "A4", u"'QUOTED");
    afterConversion_ = excel->Cells(u"Sheet1");
    if (redo()) {
      UndoLastChange();
    }
    if (GetParam().copyShown) {
      excel->SetSheetVisibility(redo() ? u"Sheet1_Redo" : u"Sheet1_Undo", sim::kSheetVisible);
    }
    excel->ClearSettingsLog();
    excel->ResetCounters();
  }

  void Operate() { redo() ? RedoLastChange() : UndoLastChange(); }

  std::map<std::string, sim::CellContent> beforeConversion_;
  std::map<std::string, sim::CellContent> afterConversion_;
};

TEST_P(StoreFaultSweep, EveryRefusedCallLeavesTheStoreWholeAndTheHostRestored) {
  Arrange();
  const WorkbookState unchanged = Capture(*excel);
  Operate();
  const long long calls = excel->TotalCalls();
  const WorkbookState swapped = Capture(*excel);
  // Every cell as it was before the conversion (undo) or after it (redo), prefix and format
  // included.
  EXPECT_EQ(swapped.cells.at(u"Sheet1"), redo() ? afterConversion_ : beforeConversion_);

  for (const host::HostError& refusal : fakes::kHostRefusals) {
    for (long long k = 1; k <= calls; ++k) {
      SCOPED_TRACE(::testing::Message() << refusal.what() << " at call " << k << " of " << calls);
      Arrange();
      excel->FailNthCall(k, refusal);
      EXPECT_THROW(Operate(), host::HostError);

      const WorkbookState after = Capture(*excel);
      EXPECT_TRUE(after == unchanged || after == swapped);
      EXPECT_EQ(excel->Cell(u"Notes", "A1").formula, u"=Sheet1!A1");
      fakes::ExpectHostNotSuspended(*excel);
      // Once the busy status text was shown, the command ends on "Ready".
      EXPECT_TRUE(excel->SettingsLog().empty() || excel->CurrentSettings().statusBar == u"Ready" ||
                  fakes::SettingWriteRefused(*excel, "StatusBar"));
    }
  }
  RecordProperty("faults_injected", static_cast<int>(calls * std::size(fakes::kHostRefusals)));
}

// Excel gone away from some call on: nothing can be taken back, but nothing is lost either. The
// working sheet keeps its name, visibility and references, each of its cells holds its state
// before or after the conversion, and the copy restored from is still there unless the command
// had finished.
TEST_P(StoreFaultSweep, ExcelGoingAwayLosesNothing) {
  Arrange();
  Operate();
  const long long calls = excel->TotalCalls();
  const auto target = redo() ? afterConversion_ : beforeConversion_;
  const std::u16string source = redo() ? u"Sheet1_Redo" : u"Sheet1_Undo";
  for (long long k = 1; k <= calls + 1; ++k) {
    SCOPED_TRACE("host gone from call " + std::to_string(k) + " of " + std::to_string(calls));
    Arrange();
    excel->FailCallsFrom(k, host::HostError(static_cast<std::int32_t>(0x800706BA),
                                            u"The RPC server is unavailable."));
    try {
      Operate();
    } catch (const host::HostError&) {
    }
    EXPECT_EQ(excel->SheetVisibility(u"Sheet1"), sim::kSheetVisible);
    EXPECT_EQ(excel->Cell(u"Notes", "A1").formula, u"=Sheet1!A1");
    const auto cells = excel->Cells(u"Sheet1");
    for (const auto& [a1, cell] : cells) {
      EXPECT_TRUE(cell == beforeConversion_.at(a1) || cell == afterConversion_.at(a1)) << a1;
    }
    EXPECT_TRUE(cells == target || SheetExists(source));
  }
}

INSTANTIATE_TEST_SUITE_P(
    UndoAndRedo, StoreFaultSweep,
    ::testing::Values(SweepCase{false, false, false}, SweepCase{true, false, false},
                      SweepCase{false, true, false}, SweepCase{true, true, false},
                      SweepCase{false, false, true}, SweepCase{true, false, true}),
    [](const ::testing::TestParamInfo<SweepCase>& test) {
      return std::string(test.param.redo ? "Redo" : "Undo") +
             (test.param.copyShown ? "FromAShownCopy" : "") +
             (test.param.banded ? "ReadInBands" : "");
    });

}  // namespace
}  // namespace morvane
