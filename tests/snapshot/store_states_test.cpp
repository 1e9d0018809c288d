// The snapshot store as its user sees it: which copies exist after each operation, what they
// hold, and which sheet is active.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "snapshot/main_code.h"
#include "support/snapshot_simulated_excel.h"

namespace morvane {
namespace {

using fakes::SimulatedExcelTest;

enum class Store { Empty, UndoReady, RedoReady };
enum class Operation { Snapshot, Undo, Redo };

void Perform(Operation operation) {
  switch (operation) {
    case Operation::Snapshot:
      SnapshotActiveSheet();
      break;
    case Operation::Undo:
      UndoLastChange();
      break;
    case Operation::Redo:
      RedoLastChange();
      break;
  }
}

class StoreTest : public SimulatedExcelTest {
 protected:
  void SetUp() override {
    SimulatedExcelTest::SetUp();
    StartOver();
  }

  // A fresh host with one workbook, Sheet1 active and holding v1, and no copies.
  void StartOver() {
    excel = sim::Excel::Create();
    xlApp = excel;
    excel->AddWorkbook({u"Intro", u"Sheet1", u"Notes"});
    excel->ActivateSheet(u"Sheet1");
    Change(u"v1");
  }

  // What a conversion does to the working sheet, reduced to one cell.
  void Change(const std::u16string& text) { excel->Put(u"Sheet1", "A1", text); }

  std::u16string Held(const std::u16string& sheet) const {
    const auto value = excel->Cell(sheet, "A1").value;
    const auto* text = std::get_if<std::u16string>(&value);
    return text ? *text : u"<not text>";
  }

  // Brings the store into a state the way a user would: convert (v1 -> v2), and undo.
  void Reach(Store state) {
    if (state == Store::Empty) {
      return;
    }
    SnapshotActiveSheet();
    Change(u"v2");
    if (state == Store::RedoReady) {
      UndoLastChange();
    }
  }
};

struct StateCase {
  const char* name;
  Store before;
  Operation operation;
  Store after;
  std::u16string working;  // what Sheet1 holds afterwards
  std::u16string copy;     // what the remaining copy holds ("" when there is none)
};

class StoreStateTable : public StoreTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(StoreStateTable, EndsInTheExpectedStateWithTheWorkingSheetActive) {
  const StateCase& c = GetParam();
  Reach(c.before);
  Perform(c.operation);

  EXPECT_EQ(SheetExists(u"Sheet1_Undo"), c.after == Store::UndoReady);
  EXPECT_EQ(SheetExists(u"Sheet1_Redo"), c.after == Store::RedoReady);
  EXPECT_EQ(Held(u"Sheet1"), c.working);
  if (c.after != Store::Empty) {
    const std::u16string copy = c.after == Store::UndoReady ? u"Sheet1_Undo" : u"Sheet1_Redo";
    EXPECT_EQ(Held(copy), c.copy);
    EXPECT_EQ(excel->SheetVisibility(copy), sim::kSheetHidden);
  }
  // One copy at most: a replaced copy or a half-made "Sheet1 (2)" would add a sheet.
  EXPECT_EQ(excel->SheetNames().size(), c.after == Store::Empty ? 3u : 4u);
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1");
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1"), sim::kSheetVisible);
  EXPECT_TRUE(messages->shown.empty());
  // Undo and redo end on "Ready" even when there was no copy to swap with.
  if (c.operation != Operation::Snapshot) {
    EXPECT_EQ(excel->CurrentSettings().statusBar, u"Ready");
  }
}

// Part of the three-state table: Empty (v1 on the sheet), Undo-ready (v2 on the sheet, v1 in
// the undo copy), Redo-ready (v1 on the sheet, v2 in the redo copy).
INSTANTIATE_TEST_SUITE_P(
    ThreeStates, StoreStateTable,
    ::testing::Values(
        StateCase{"EmptySnapshot", Store::Empty, Operation::Snapshot, Store::UndoReady, u"v1",
                  u"v1"},
        StateCase{"EmptyUndo", Store::Empty, Operation::Undo, Store::Empty, u"v1", u""},
        StateCase{"EmptyRedo", Store::Empty, Operation::Redo, Store::Empty, u"v1", u""},
        StateCase{"UndoReadySnapshotReplacesTheCopy", Store::UndoReady, Operation::Snapshot,
                  Store::UndoReady, u"v2", u"v2"},
        StateCase{"UndoReadyUndo", Store::UndoReady, Operation::Undo, Store::RedoReady, u"v1",
                  u"v2"},
        StateCase{"UndoReadyRedo", Store::UndoReady, Operation::Redo, Store::UndoReady, u"v2",
                  u"v1"},
        StateCase{"RedoReadySnapshotDeletesTheRedoCopy", Store::RedoReady, Operation::Snapshot,
                  Store::UndoReady, u"v1", u"v1"},
        StateCase{"RedoReadyUndo", Store::RedoReady, Operation::Undo, Store::RedoReady, u"v1",
                  u"v2"},
        StateCase{"RedoReadyRedo", Store::RedoReady, Operation::Redo, Store::UndoReady, u"v2",
                  u"v1"}),
    [](const ::testing::TestParamInfo<StateCase>& test) { return test.param.name; });

// Formulas on other sheets refer to the working sheet. In Excel a reference follows the sheet
// object: a store that renamed the working sheet would move them onto a copy, and deleting that
// copy later would leave #REF!. Every sequence of four conversions, undos and redos keeps them
// on the working sheet, which keeps its name, its identity and its place among the tabs.
TEST_F(StoreTest, EveryOrderOfOperationsKeepsReferencesOnTheWorkingSheet) {
  const std::vector<Operation> kinds = {Operation::Snapshot, Operation::Undo, Operation::Redo};
  for (int sequence = 0; sequence < 81; ++sequence) {
    StartOver();
    excel->PutFormula(u"Notes", "A1", u"=Sheet1!A1", std::u16string(u"v1"));
    excel->PutFormula(u"Intro", "B2", u"=LEN(Sheet1!A1)+'Notes'!C3", 2.0);
    const auto working = excel->ActiveSheet();
    std::u16string text = u"v1";
    std::optional<std::u16string> undoText;
    std::optional<std::u16string> redoText;
    std::string done;
    for (int step = 0, code = sequence; step < 4; ++step, code /= 3) {
      const Operation operation = kinds[static_cast<std::size_t>(code % 3)];
      done += "SUR"[code % 3];
      SCOPED_TRACE(done);
      Perform(operation);
      if (operation == Operation::Snapshot) {  // a conversion: snapshot, then the new text
        undoText = text;
        redoText.reset();
        text = text == u"v1" ? u"V1" : u"v1";
        Change(text);
      } else if (operation == Operation::Undo && undoText) {
        redoText = std::exchange(text, *undoText);
        undoText.reset();
      } else if (operation == Operation::Redo && redoText) {
        undoText = std::exchange(text, *redoText);
        redoText.reset();
      }
      EXPECT_EQ(excel->Cell(u"Notes", "A1").formula, u"=Sheet1!A1");
      EXPECT_EQ(excel->Cell(u"Intro", "B2").formula, u"=LEN(Sheet1!A1)+'Notes'!C3");
      EXPECT_EQ(working->Name(), u"Sheet1");
      EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1");
      EXPECT_EQ(Held(u"Sheet1"), text);
      EXPECT_EQ(SheetExists(u"Sheet1_Undo"), undoText.has_value());
      EXPECT_EQ(SheetExists(u"Sheet1_Redo"), redoText.has_value());
      std::vector<std::u16string> tabs;
      for (const auto& name : excel->SheetNames()) {
        if (excel->SheetVisibility(name) == sim::kSheetVisible) {
          tabs.push_back(name);
        }
      }
      EXPECT_EQ(tabs, (std::vector<std::u16string>{u"Intro", u"Sheet1", u"Notes"}));
    }
  }
}

TEST_F(StoreTest, EachSheetHasItsOwnCopies) {
  Reach(Store::UndoReady);
  excel->ActivateSheet(u"Notes");
  excel->Put(u"Notes", "A1", u"n1");
  SnapshotActiveSheet();
  excel->Put(u"Notes", "A1", u"n2");
  UndoLastChange();

  EXPECT_EQ(Held(u"Notes"), u"n1");
  EXPECT_EQ(Held(u"Notes_Redo"), u"n2");
  EXPECT_EQ(Held(u"Sheet1_Undo"), u"v1");
  EXPECT_EQ(Held(u"Sheet1"), u"v2");
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Undo"), sim::kSheetHidden);
}

TEST_F(StoreTest, ASheetTheUserNamedLikeACopyIsTakenForOne) {
  excel->AddWorkbook({u"Sheet1", u"Sheet1_Undo"});
  excel->Put(u"Sheet1", "A1", u"mine");
  excel->Put(u"Sheet1_Undo", "A1", u"theirs");
  excel->ActivateSheet(u"Sheet1");
  UndoLastChange();
  EXPECT_EQ(Held(u"Sheet1"), u"theirs");
  EXPECT_EQ(Held(u"Sheet1_Redo"), u"mine");
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Redo"), sim::kSheetHidden);
}

TEST_F(StoreTest, NamesAreMatchedExactlyLetterCaseIncluded) {
  excel->AddWorkbook({u"Sheet1", u"sheet1_undo", u"SHEET1_REDO"});
  excel->ActivateSheet(u"Sheet1");
  excel->Put(u"Sheet1", "A1", u"mine");
  UndoLastChange();
  RedoLastChange();
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Sheet1", u"sheet1_undo", u"SHEET1_REDO"}));
  EXPECT_EQ(Held(u"Sheet1"), u"mine");
}

TEST_F(StoreTest, AnUnhiddenCopyThatIsActiveIsItsOwnWorkingSheet) {
  Reach(Store::UndoReady);
  excel->SetSheetVisibility(u"Sheet1_Undo", sim::kSheetVisible);
  excel->ActivateSheet(u"Sheet1_Undo");
  UndoLastChange();
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Intro", u"Sheet1_Undo", u"Sheet1", u"Notes"}));
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1_Undo");
  EXPECT_EQ(Held(u"Sheet1"), u"v2");
}

TEST_F(StoreTest, WithNoWorkbookUndoAndRedoOnlyShowTheMessage) {
  for (const Operation operation : {Operation::Undo, Operation::Redo}) {
    excel = sim::Excel::Create();
    xlApp = excel;
    messages->shown.clear();
    const sim::Settings before = excel->CurrentSettings();
    Perform(operation);
    EXPECT_EQ(messages->shown, std::vector<std::u16string>{u"Pleas add or open a workbook!!"});
    EXPECT_TRUE(excel->SettingsLog().empty());
    const sim::Settings& after = excel->CurrentSettings();
    EXPECT_EQ(after.statusBar, before.statusBar);
    EXPECT_EQ(after.calculation, before.calculation);
    EXPECT_EQ(after.screenUpdating, before.screenUpdating);
    EXPECT_EQ(after.displayAlerts, before.displayAlerts);
  }
}

TEST_F(StoreTest, UndoAndRedoWriteTheBusyThenTheNormalSettingsInOrder) {
  using W = sim::SettingWrite;
  const std::vector<W> expected = {
      W{"EnableCancelKey", 2},
      W{"StatusBar", std::u16string(u"Processing...!")},
      W{"ScreenUpdating", false},
      W{"Calculation", -4135},
      W{"DisplayAlerts", false},
      W{"Calculation", -4105},
      W{"StatusBar", std::u16string(u"Ready")},
      W{"ScreenUpdating", true},
      W{"DisplayAlerts", true},
  };
  Reach(Store::UndoReady);
  excel->ClearSettingsLog();
  UndoLastChange();
  EXPECT_EQ(excel->SettingsLog(), expected);
  excel->ClearSettingsLog();
  RedoLastChange();
  EXPECT_EQ(excel->SettingsLog(), expected);
}

TEST_F(StoreTest, TheSnapshotTouchesNoSetting) {
  excel->ClearSettingsLog();
  SnapshotActiveSheet();
  EXPECT_TRUE(excel->SettingsLog().empty());
}

TEST_F(StoreTest, WithoutAHostEveryOperationFailsAsAHostCall) {
  xlApp.reset();
  EXPECT_THROW(SnapshotActiveSheet(), host::HostError);
  EXPECT_THROW(UndoLastChange(), host::HostError);
  EXPECT_THROW(RedoLastChange(), host::HostError);
  EXPECT_TRUE(messages->shown.empty());
}

}  // namespace
}  // namespace morvane
