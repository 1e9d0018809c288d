// When Excel refuses a step of the store: a failed snapshot leaves no trace and the working
// sheet active, and undo never leaves Excel suspended. The failure still reaches the caller.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "snapshot/main_code.h"
#include "support/forwarding_application.h"
#include "support/snapshot_settings_check.h"
#include "support/snapshot_simulated_excel.h"

namespace morvane {
namespace {

using fakes::ForwardingApplication;
using fakes::SimulatedExcelTest;

const host::HostError kRefused(errors::kExcelError, u"Application-defined or object-defined error");

struct SnapshotFailureCase {
  const char* name;
  std::vector<std::u16string> sheets;  // the working sheet is the last one
  std::function<void(sim::Excel&)> arrange;
};

class SnapshotFailureTest : public SimulatedExcelTest,
                            public ::testing::WithParamInterface<SnapshotFailureCase> {};

TEST_P(SnapshotFailureTest, LeavesNoTraceAndTheWorkingSheetActive) {
  const SnapshotFailureCase& c = GetParam();
  excel->AddWorkbook(c.sheets);
  const std::u16string working = c.sheets.back();
  excel->ActivateSheet(working);
  excel->Put(working, "B2", std::u16string(u"data"));
  excel->Select("B2:C4,E1");
  c.arrange(*excel);

  EXPECT_THROW(SnapshotActiveSheet(), host::HostError);

  excel->ClearFaults();
  EXPECT_EQ(excel->SheetNames(), c.sheets);
  EXPECT_EQ(excel->ActiveSheetName(), working);
  EXPECT_EQ(excel->SelectionAddress(), "B2:C4,E1");
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SnapshotFailureTest,
    ::testing::Values(
        SnapshotFailureCase{"NameTooLongForTheSuffix",
                            {u"Quarterly figures 2024 East"},  // 27 characters
                            [](sim::Excel&) {}},
        SnapshotFailureCase{
            "ACopyNameInOtherLetterCase", {u"sheet1_undo", u"Sheet1"}, [](sim::Excel&) {}},
        SnapshotFailureCase{"RenameRefused",
                            {u"Sheet1"},
                            [](sim::Excel& x) { x.FailMember("Sheet.SetName", kRefused); }},
        SnapshotFailureCase{"HideRefused",
                            {u"Sheet1"},
                            [](sim::Excel& x) { x.FailMember("Sheet.SetVisible", kRefused); }},
        SnapshotFailureCase{"NewCopyNotHandedOver",
                            {u"Sheet1"},
                            [](sim::Excel& x) {
                              // Calls 1-6 read the working sheet and search the one sheet for
                              // copies, 7 copies it, 8 would hand the copy over.
                              x.ResetCounters();
                              x.FailNthCall(8, kRefused);
                            }},
        SnapshotFailureCase{
            "StructureProtected", {u"Sheet1"}, [](sim::Excel& x) { x.ProtectStructure(true); }}),
    [](const ::testing::TestParamInfo<SnapshotFailureCase>& test) { return test.param.name; });

TEST_F(SimulatedExcelTest, TheSnapshotDeletesBothCopiesWhenTheUserMadeBoth) {
  excel->AddWorkbook({u"Sheet1_Redo", u"Sheet1", u"Sheet1_Undo"});
  excel->ActivateSheet(u"Sheet1");
  excel->SetDisplayAlerts(false);  // as the wizard has done before it takes the snapshot
  SnapshotActiveSheet();
  EXPECT_EQ(excel->SheetNames(), (std::vector<std::u16string>{u"Sheet1", u"Sheet1_Undo"}));
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Undo"), sim::kSheetHidden);
  EXPECT_EQ(excel->ConfirmationsShown(), 0);
}

TEST_F(SimulatedExcelTest, AFinishedCopyIsKeptWhenOnlyGoingBackToTheWorkingSheetFails) {
  excel->AddWorkbook({u"Sheet1", u"Sheet2"});
  excel->ActivateSheet(u"Sheet2");
  excel->ResetCounters();
  SnapshotActiveSheet();
  const long long calls = excel->TotalCalls();
  excel->AddWorkbook({u"Sheet1", u"Sheet2"});
  excel->ActivateSheet(u"Sheet2");
  excel->ResetCounters();
  excel->FailNthCall(calls, kRefused);  // the last call: Activate

  EXPECT_THROW(SnapshotActiveSheet(), host::HostError);
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Sheet1", u"Sheet2", u"Sheet2_Undo"}));
  EXPECT_EQ(excel->SheetVisibility(u"Sheet2_Undo"), sim::kSheetHidden);
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet2");
}

// A restoring write that Excel keeps refusing does not stop the others (every single refused
// call of undo and redo is swept in store_fault_sweep_test.cpp).
TEST_F(SimulatedExcelTest, ARefusedCalculationWriteDoesNotKeepTheScreenFrozen) {
  excel->AddWorkbook({u"Sheet1"});
  excel->FailMember("Application.SetCalculation", kRefused);
  EXPECT_THROW(UndoLastChange(), host::HostError);
  const sim::Settings& settings = excel->CurrentSettings();
  EXPECT_TRUE(settings.screenUpdating);
  EXPECT_TRUE(settings.displayAlerts);
  EXPECT_EQ(settings.statusBar, u"Ready");
}

// Excel with only a hidden workbook open (PERSONAL.XLSB): Workbooks.Count counts it, but there
// is no active sheet, and ActiveSheet answers Nothing.
class OnlyAHiddenWorkbook final : public ForwardingApplication {
 public:
  using ForwardingApplication::ForwardingApplication;
  std::shared_ptr<host::Sheet> ActiveSheet() override { return nullptr; }
};

TEST_F(SimulatedExcelTest, WithoutAnActiveSheetEachOperationFailsWithoutHarm) {
  excel->AddWorkbook({u"Sheet1"});
  xlApp = std::make_shared<OnlyAHiddenWorkbook>(excel);
  for (const auto operation : {SnapshotActiveSheet, UndoLastChange, RedoLastChange}) {
    EXPECT_THROW(operation(), host::HostError);
    fakes::ExpectHostNotSuspended(*excel);
  }
  EXPECT_EQ(excel->SheetNames(), std::vector<std::u16string>{u"Sheet1"});
}

}  // namespace
}  // namespace morvane
