// The snapshot store as its user sees it: which copies exist after each operation, what they
// hold, and which sheet is active.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "convert/rules/case_rules.h"
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

  // Brings the store into a state the way a user would: convert (v1 -> V1), and undo.
  void Reach(Store state) {
    if (state == Store::Empty) {
      return;
    }
    SnapshotActiveSheet();
    Change(u"V1");
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

// Part of the three-state table: Empty (v1 on the sheet), Undo-ready (V1 on the sheet, v1 in
// the undo copy), Redo-ready (v1 on the sheet, V1 in the redo copy).
INSTANTIATE_TEST_SUITE_P(
    ThreeStates, StoreStateTable,
    ::testing::Values(
        StateCase{"EmptySnapshot", Store::Empty, Operation::Snapshot, Store::UndoReady, u"v1",
                  u"v1"},
        StateCase{"EmptyUndo", Store::Empty, Operation::Undo, Store::Empty, u"v1", u""},
        StateCase{"EmptyRedo", Store::Empty, Operation::Redo, Store::Empty, u"v1", u""},
        StateCase{"UndoReadySnapshotReplacesTheCopy", Store::UndoReady, Operation::Snapshot,
                  Store::UndoReady, u"V1", u"V1"},
        StateCase{"UndoReadyUndo", Store::UndoReady, Operation::Undo, Store::RedoReady, u"v1",
                  u"V1"},
        StateCase{"UndoReadyRedo", Store::UndoReady, Operation::Redo, Store::UndoReady, u"V1",
                  u"v1"},
        StateCase{"RedoReadySnapshotDeletesTheRedoCopy", Store::RedoReady, Operation::Snapshot,
                  Store::UndoReady, u"v1", u"v1"},
        StateCase{"RedoReadyUndo", Store::RedoReady, Operation::Undo, Store::RedoReady, u"v1",
                  u"V1"},
        StateCase{"RedoReadyRedo", Store::RedoReady, Operation::Redo, Store::UndoReady, u"V1",
                  u"v1"}),
    [](const ::testing::TestParamInfo<StateCase>& test) { return test.param.name; });

// What the user does to the working sheet between two commands.
enum class Edit { None, SortRows, InsertRowAbove, DeleteRow, RetypeACell, TypeIntoAnEmptyCell };

// The working sheet's table as values: rows 1 to 6, columns A (names), B (amounts), C (notes).
using Grid = std::vector<std::vector<host::CellValue>>;

bool SameButForLetterCase(const host::CellValue& a, const host::CellValue& b) {
  const auto* x = std::get_if<std::u16string>(&a);
  const auto* y = std::get_if<std::u16string>(&b);
  return a == b || (x && y && x->size() == y->size() &&
                    ApplyCase(*x, CaseMode::LowerCase) == ApplyCase(*y, CaseMode::LowerCase));
}

class OrderTest : public StoreTest {
 protected:
  static std::string At(std::size_t row, std::size_t column) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row + 1);
  }

  Grid Read() const {
    Grid grid(6, std::vector<host::CellValue>(3));
    for (std::size_t row = 0; row < grid.size(); ++row) {
      for (std::size_t column = 0; column < 3; ++column) {
        grid[row][column] = excel->Cell(u"Sheet1", At(row, column)).value;
      }
    }
    return grid;
  }

  void Write(Grid grid) {
    grid.resize(6, std::vector<host::CellValue>(3));
    for (std::size_t row = 0; row < grid.size(); ++row) {
      for (std::size_t column = 0; column < 3; ++column) {
        excel->Put(u"Sheet1", At(row, column), grid[row][column]);
      }
    }
  }

  // A conversion of the names column by one of the four rules, after the snapshot.
  void Convert(CaseMode mode) {
    SnapshotActiveSheet();
    Grid grid = Read();
    for (auto& row : grid) {
      if (const auto* text = std::get_if<std::u16string>(&row[0])) {
        row[0] = ApplyCase(*text, mode);
      }
    }
    Write(grid);
  }

  // Returns the cell the edit retyped or filled, or kNoCell.
  static constexpr std::pair<std::size_t, std::size_t> kNoCell{99, 99};
  std::pair<std::size_t, std::size_t> Do(Edit edit) {
    Grid grid = Read();
    switch (edit) {
      case Edit::None:
        return kNoCell;
      case Edit::SortRows:
        std::stable_sort(grid.begin(), grid.begin() + 4, [](const auto& a, const auto& b) {
          return std::get<double>(a[1]) < std::get<double>(b[1]);
        });
        break;
      case Edit::InsertRowAbove:
        grid.insert(grid.begin(), std::vector<host::CellValue>(3));
        break;
      case Edit::DeleteRow:
        grid.erase(grid.begin());
        break;
      case Edit::RetypeACell:
        grid[1][0] = std::u16string(u"Zed Retyped");
        Write(grid);
        return std::pair{1, 0};
      case Edit::TypeIntoAnEmptyCell:
        grid[5][2] = std::u16string(u"a new note");
        Write(grid);
        return std::pair{5, 2};
    }
    Write(grid);
    return kNoCell;
  }
};

// Every order of four conversions, undos and redos, with one of the user's edits after each:
// undo and redo take back letter case and nothing else, so whatever the user did since the
// copy was taken survives them, and a sheet nobody touched comes back exactly. References to
// the working sheet from other sheets and from a workbook-level name keep their target, and
// the working sheet keeps its name, its identity and its place among the tabs.
TEST_F(OrderTest, UndoAndRedoTakeBackLetterCaseOnlyWhateverTheUserDidBetween) {
  const std::vector<Operation> kinds = {Operation::Snapshot, Operation::Undo, Operation::Redo};
  constexpr Edit kEdits[] = {Edit::None,      Edit::SortRows,    Edit::InsertRowAbove,
                             Edit::DeleteRow, Edit::RetypeACell, Edit::TypeIntoAnEmptyCell};
  // The second round adds 120 texts beside the table, so the sheet's constants are read a band
  // at a time rather than cell by cell.
  for (int sequence = 0; sequence < 81 * 6 * 2; ++sequence) {
    StartOver();
    Write({{u"alice smith", 4.0, {}},
           {u"Bob JONES", 2.0, {}},
           {u"carol o'neil. the second", 3.0, std::u16string(u"kept")},
           {u"DAVE", 1.0, {}}});
    const bool banded = sequence >= 81 * 6;
    for (int row = 1; banded && row <= 40; ++row) {
      for (const char* column : {"E", "F", "G"}) {
        excel->Put(u"Sheet1", column + std::to_string(row), std::u16string(u"beside"));
      }
    }
    excel->PutFormula(u"Notes", "A1", u"=Sheet1!A1", std::u16string(u"alice smith"));
    excel->PutFormula(u"Intro", "B2", u"=LEN(Sheet1!A1)+'Notes'!C3", 11.0);
    excel->AddName(u"Table", u"Sheet1");
    const auto working = excel->ActiveSheet();
    std::optional<Grid> undoCopy;
    std::optional<Grid> redoCopy;
    std::set<std::pair<std::size_t, std::size_t>> editedSinceCopy;  // cells retyped since
    bool movedSinceCopy = false;
    std::string done;
    for (int step = 0, code = sequence % (81 * 6) / 6; step < 4; ++step, code /= 3) {
      const Operation operation = kinds[static_cast<std::size_t>(code % 3)];
      const Edit edit = kEdits[static_cast<std::size_t>(sequence + step) % 6];
      done += "SUR"[code % 3];
      done += "-srdtn"[static_cast<int>(edit)];
      SCOPED_TRACE(done);
      messages->shown.clear();
      const Grid before = Read();
      const std::optional<Grid> restoring = operation == Operation::Undo   ? undoCopy
                                            : operation == Operation::Redo ? redoCopy
                                                                           : std::nullopt;
      if (operation == Operation::Snapshot) {
        Convert(static_cast<CaseMode>(step % 4));
        undoCopy = before;
        redoCopy.reset();
      } else {
        Perform(operation);
        if (restoring) {
          (operation == Operation::Undo ? redoCopy : undoCopy) = before;
          (operation == Operation::Undo ? undoCopy : redoCopy).reset();
        }
      }
      if (restoring) {
        const Grid after = Read();
        std::size_t left = 0;  // texts changed beyond letter case since the copy was taken
        for (std::size_t row = 0; row < after.size(); ++row) {
          for (std::size_t column = 0; column < 3; ++column) {
            SCOPED_TRACE(At(row, column));
            const host::CellValue& kept = (*restoring)[row][column];
            EXPECT_TRUE(SameButForLetterCase(after[row][column], before[row][column]));
            if (!movedSinceCopy && editedSinceCopy.count({row, column}) == 0) {
              EXPECT_EQ(after[row][column], kept);
            }
            left += std::holds_alternative<std::u16string>(before[row][column]) &&
                    std::holds_alternative<std::u16string>(kept) &&
                    !SameButForLetterCase(before[row][column], kept);
          }
        }
        EXPECT_EQ(messages->shown.size(), left > 0 ? 1u : 0u);
      }
      if (operation == Operation::Snapshot || restoring) {
        editedSinceCopy.clear();
        movedSinceCopy = false;
      }
      const auto touched = Do(edit);
      movedSinceCopy = movedSinceCopy || edit == Edit::SortRows || edit == Edit::InsertRowAbove ||
                       edit == Edit::DeleteRow;
      if (touched != kNoCell) {
        editedSinceCopy.insert(touched);
      }
      EXPECT_EQ(excel->Cell(u"Notes", "A1").formula, u"=Sheet1!A1");
      EXPECT_EQ(excel->Cell(u"Intro", "B2").formula, u"=LEN(Sheet1!A1)+'Notes'!C3");
      EXPECT_EQ(excel->NameRefersTo(u"Table"), u"Sheet1");
      EXPECT_EQ(working->Name(), u"Sheet1");
      EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1");
      EXPECT_EQ(SheetExists(u"Sheet1_Undo"), undoCopy.has_value());
      EXPECT_EQ(SheetExists(u"Sheet1_Redo"), redoCopy.has_value());
      std::vector<std::u16string> tabs;
      for (const auto& name : excel->SheetNames()) {
        if (excel->SheetVisibility(name) == sim::kSheetVisible) {
          tabs.push_back(name);
        }
      }
      EXPECT_EQ(tabs, (std::vector<std::u16string>{u"Intro", u"Sheet1", u"Notes"}));
    }
    if (banded) {
      EXPECT_EQ(excel->CallCount("Range.Value"), 0) << "read cell by cell";
    }
  }
}

TEST_F(StoreTest, CellsChangedSinceTheConversionAreLeftAndNamedOnce) {
  excel->Put(u"Sheet1", "A2", u"bob");
  excel->Put(u"Sheet1", "A3", u"carol");
  SnapshotActiveSheet();
  Change(u"V1");
  excel->Put(u"Sheet1", "A2", u"robert");  // converted to BOB, then retyped
  excel->Put(u"Sheet1", "A3", u"carol ann");
  UndoLastChange();
  EXPECT_EQ(Held(u"Sheet1"), u"v1");
  EXPECT_EQ(excel->Cell(u"Sheet1", "A2").value, host::CellValue(std::u16string(u"robert")));
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{
                                 u"2 cells changed since the conversion were left as they are!"});
  messages->shown.clear();
  excel->Put(u"Sheet1", "A2", u"Rob");
  RedoLastChange();
  EXPECT_EQ(Held(u"Sheet1"), u"V1");
  EXPECT_EQ(messages->shown,
            std::vector<std::u16string>{u"1 cell changed since the conversion was left as it is!"});
}

TEST_F(StoreTest, EachSheetHasItsOwnCopies) {
  Reach(Store::UndoReady);
  excel->ActivateSheet(u"Notes");
  excel->Put(u"Notes", "A1", u"n1");
  SnapshotActiveSheet();
  excel->Put(u"Notes", "A1", u"N1");
  UndoLastChange();

  EXPECT_EQ(Held(u"Notes"), u"n1");
  EXPECT_EQ(Held(u"Notes_Redo"), u"N1");
  EXPECT_EQ(Held(u"Sheet1_Undo"), u"v1");
  EXPECT_EQ(Held(u"Sheet1"), u"V1");
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Undo"), sim::kSheetHidden);
}

TEST_F(StoreTest, ASheetTheUserNamedLikeACopyIsTakenForOne) {
  excel->AddWorkbook({u"Sheet1", u"Sheet1_Undo"});
  excel->Put(u"Sheet1", "A1", u"mine");
  excel->Put(u"Sheet1_Undo", "A1", u"Mine");
  excel->ActivateSheet(u"Sheet1");
  UndoLastChange();
  EXPECT_EQ(Held(u"Sheet1"), u"Mine");
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
            (std::vector<std::u16string>{u"Intro", u"Sheet1", u"Sheet1_Undo", u"Notes"}));
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1_Undo");
  EXPECT_EQ(Held(u"Sheet1"), u"V1");
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
