// Workbooks and sheets: the facts the snapshot store relies on when it copies, renames, hides,
// deletes and activates sheets.

#include <gtest/gtest.h>

#include "excel_fixture.h"
#include "hostsim/sheet_references.h"

namespace morvane::sim {
namespace {

using testing::ErrorOf;
using testing::ExcelTest;
using Names = std::vector<std::u16string>;

TEST_F(ExcelTest, CopyAfterHoldsTheSameCellsLandsAfterAndBecomesActive) {
  excel->Put(u"Sheet2", "B2", std::u16string(u"text"), u"@");
  excel->SetLocked(u"Sheet2", "C3", false);
  excel->ProtectSheet(u"Sheet2", true);
  excel->ActivateSheet(u"Sheet2");
  excel->Select("B2:C3");

  Sheet(u"Sheet2")->CopyAfter(*Sheet(u"Sheet1"));

  EXPECT_EQ(excel->SheetNames(), (Names{u"Sheet1", u"Sheet2 (2)", u"Sheet2", u"Sheet3"}));
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet2 (2)");
  EXPECT_EQ(excel->ActiveSheet()->Name(), u"Sheet2 (2)");
  EXPECT_EQ(excel->Cells(u"Sheet2 (2)"), excel->Cells(u"Sheet2"));
  EXPECT_TRUE(excel->SheetProtected(u"Sheet2 (2)"));
  EXPECT_EQ(excel->SelectionAddress(), "B2:C3");
  // The copy is a sheet of its own.
  excel->Put(u"Sheet2 (2)", "A1", 1.0);
  EXPECT_EQ(excel->Cell(u"Sheet2", "A1"), CellContent{});
}

TEST(CopyNaming, FollowsExcelsNumberingAndCutsLongNames) {
  struct Case {
    Names existing;
    std::u16string source;
    std::u16string copy;
  };
  const Case cases[] = {
      {{u"Sheet1"}, u"Sheet1", u"Sheet1 (2)"},
      {{u"Sheet1", u"Sheet1 (2)"}, u"Sheet1", u"Sheet1 (3)"},
      {{u"Sheet1", u"SHEET1 (2)"}, u"Sheet1", u"Sheet1 (3)"},
      {{u"Sheet1 (2)"}, u"Sheet1 (2)", u"Sheet1 (3)"},
      {{u"Sales (9)"}, u"Sales (9)", u"Sales (10)"},
      {{u"A (b)"}, u"A (b)", u"A (b) (2)"},
      // 27 characters: " (2)" still fits whole.
      {{u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0"},
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0",
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0 (2)"},
      // 31 characters: the base is cut so the name stays at 31.
      {{u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234",
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0 (2)"},
      {{u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0 (2)"},
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234",
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0 (3)"},
      // A cut never leaves an apostrophe at the end, which no sheet name may have.
      {{u"ABCDEFGHIJKLMNOPQRSTUVWXYZ'abcd"},
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ'abcd",
       u"ABCDEFGHIJKLMNOPQRSTUVWXYZ (2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.source));
    const auto excel = Excel::Create();
    excel->AddWorkbook(c.existing);
    const auto sheets = excel->Sheets();
    sheets->Item(c.source)->CopyAfter(*sheets->Item(1));
    EXPECT_EQ(excel->SheetNames()[1], c.copy);
    EXPECT_EQ(excel->ActiveSheetName(), c.copy);
    EXPECT_LE(c.copy.size(), 31u);
  }
}

TEST_F(ExcelTest, RenameFollowsExcelsNameRules) {
  const std::u16string invalid =
      std::u16string(u"You typed an invalid name for a sheet or chart. Make sure that:\n") +
      u"\u2022 The name that you type does not exceed 31 characters.\n" +
      u"\u2022 The name does not contain any of the following characters: : \\ / ? * [ or ]\n" +
      u"\u2022 You did not leave the name blank.";
  const std::u16string taken = u"That name is already taken. Try a different one.";
  struct Case {
    std::u16string name;
    std::u16string error;  // empty: accepted
  };
  const Case cases[] = {
      {u"Data", u""},
      {u"SHEET1", u""},  // its own name in other letters
      {u"a'b", u""},
      {std::u16string(31, u'x'), u""},
      {u"\u00DCbersicht", u""},
      {u"", invalid},
      {std::u16string(32, u'x'), invalid},
      {std::u16string(30, u'x') + u"\U0001F600", invalid},  // 32 UTF-16 units
      {u"a:b", invalid},
      {u"a\\b", invalid},
      {u"a/b", invalid},
      {u"a?b", invalid},
      {u"a*b", invalid},
      {u"a[b", invalid},
      {u"a]b", invalid},
      {u"'ab", invalid},
      {u"ab'", invalid},
      {u"History", invalid},
      {u"history", invalid},
      {u"Sheet2", taken},
      {u"sheet2", taken},
      {u"SHEET3", taken},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    const auto sheet = Sheet(u"Sheet1");
    if (c.error.empty()) {
      sheet->SetName(c.name);
      EXPECT_EQ(excel->SheetNames().front(), c.name);
      sheet->SetName(u"Sheet1");
    } else {
      const host::HostError error = ErrorOf([&] { sheet->SetName(c.name); });
      EXPECT_EQ(error.hresult(), errors::kExcelError);
      EXPECT_EQ(error.description(), c.error);
      EXPECT_EQ(excel->SheetNames().front(), u"Sheet1");
    }
  }
}

TEST_F(ExcelTest, NameUniquenessIgnoresCaseBeyondAscii) {
  Sheet(u"Sheet2")->SetName(u"\u00C4RGER");
  EXPECT_EQ(ErrorOf([&] { Sheet(u"Sheet1")->SetName(u"\u00E4rger"); }).hresult(),
            errors::kExcelError);
  Sheet(u"Sheet3")->SetName(u"\u0394\u0395\u039B\u03A4\u0391");  // ΔΕΛΤΑ
  EXPECT_EQ(
      ErrorOf([&] { Sheet(u"Sheet1")->SetName(u"\u03B4\u03B5\u03BB\u03C4\u03B1"); }).hresult(),
      errors::kExcelError);
  EXPECT_EQ(Sheet(u"\u00E4RGER")->Name(), u"\u00C4RGER");
}

TEST_F(ExcelTest, VisibilityKeepsOneSheetVisibleAndMovesTheActiveSheetOn) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::u16string, int>> before;  // visibility set up first
    std::u16string active;
    std::u16string hide;
    bool refused;
    std::u16string activeAfter;
  };
  const Case cases[] = {
      {"hiding an inactive sheet", {}, u"Sheet1", u"Sheet2", false, u"Sheet1"},
      {"hiding the active sheet shows the next one", {}, u"Sheet2", u"Sheet2", false, u"Sheet3"},
      {"skips hidden sheets to the right",
       {{u"Sheet2", kSheetHidden}},
       u"Sheet1",
       u"Sheet1",
       false,
       u"Sheet3"},
      {"the last sheet falls back to its left", {}, u"Sheet3", u"Sheet3", false, u"Sheet2"},
      {"the last visible sheet stays",
       {{u"Sheet2", kSheetHidden}, {u"Sheet3", kSheetVeryHidden}},
       u"Sheet1",
       u"Sheet1",
       true,
       u"Sheet1"},
      {"hiding a hidden sheet again",
       {{u"Sheet2", kSheetHidden}},
       u"Sheet1",
       u"Sheet2",
       false,
       u"Sheet1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    excel = Excel::Create();  // a fresh Excel per case
    excel->AddWorkbook({u"Sheet1", u"Sheet2", u"Sheet3"});
    for (const auto& [name, visibility] : c.before) {
      excel->SetSheetVisibility(name, visibility);
    }
    excel->ActivateSheet(c.active);
    const auto sheet = excel->Sheets()->Item(c.hide);
    if (c.refused) {
      const host::HostError error = ErrorOf([&] { sheet->SetVisible(false); });
      EXPECT_EQ(error.hresult(), errors::kExcelError);
      EXPECT_EQ(excel->SheetVisibility(c.hide), kSheetVisible);
    } else {
      sheet->SetVisible(false);
      EXPECT_EQ(excel->SheetVisibility(c.hide), kSheetHidden);
    }
    EXPECT_EQ(excel->ActiveSheetName(), c.activeAfter);
  }
}

TEST_F(ExcelTest, DeleteRemovesTheSheetAndAsksOnlyWhileAlertsAreOn) {
  excel->ActivateSheet(u"Sheet2");
  Sheet(u"Sheet2")->Delete();
  EXPECT_EQ(excel->SheetNames(), (Names{u"Sheet1", u"Sheet3"}));
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet3");
  EXPECT_EQ(excel->ConfirmationsShown(), 1);

  excel->SetDisplayAlerts(false);
  excel->SetSheetVisibility(u"Sheet3", kSheetHidden);
  Sheet(u"Sheet3")->Delete();  // a hidden sheet can be deleted
  EXPECT_EQ(excel->SheetNames(), (Names{u"Sheet1"}));
  EXPECT_EQ(excel->ConfirmationsShown(), 1);
}

TEST_F(ExcelTest, DeleteRefusesTheLastVisibleSheet) {
  excel->SetSheetVisibility(u"Sheet2", kSheetHidden);
  excel->SetSheetVisibility(u"Sheet3", kSheetHidden);
  const host::HostError error = ErrorOf([&] { Sheet(u"Sheet1")->Delete(); });
  EXPECT_EQ(error.hresult(), errors::kExcelError);
  EXPECT_EQ(error.description(), u"Delete method of Worksheet class failed");
  EXPECT_EQ(excel->SheetNames().size(), 3u);
}

TEST_F(ExcelTest, ProtectedStructureRefusesEachChangeWithExcelsText) {
  struct Case {
    const char* what;
    std::function<void(host::Sheet&, host::Sheet&)> change;
    std::u16string text;
  };
  const Case cases[] = {
      {"copy", [](host::Sheet& s, host::Sheet& other) { s.CopyAfter(other); },
       u"Workbook is protected and cannot be changed."},
      {"rename", [](host::Sheet& s, host::Sheet&) { s.SetName(u"New"); },
       u"Application-defined or object-defined error"},
      {"hide", [](host::Sheet& s, host::Sheet&) { s.SetVisible(false); },
       u"Unable to set the Visible property of the Worksheet class"},
      {"delete", [](host::Sheet& s, host::Sheet&) { s.Delete(); },
       u"Delete method of Worksheet class failed"},
  };
  excel->ProtectStructure(true);
  const auto before = excel->Cells(u"Sheet1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const host::HostError error = ErrorOf([&] { c.change(*Sheet(u"Sheet2"), *Sheet(u"Sheet1")); });
    EXPECT_EQ(error.hresult(), errors::kExcelError);
    EXPECT_EQ(error.description(), c.text);
    EXPECT_EQ(excel->SheetNames(), (Names{u"Sheet1", u"Sheet2", u"Sheet3"}));
    EXPECT_EQ(excel->SheetVisibility(u"Sheet2"), kSheetVisible);
  }
  // Activation is not a change of structure.
  Sheet(u"Sheet2")->Activate();
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet2");
}

TEST_F(ExcelTest, ActivateRefusesHiddenSheetsAndKeepsEachSheetsSelection) {
  excel->Select("B2");
  Sheet(u"Sheet2")->Activate();
  excel->Select("C3:D4");
  Sheet(u"Sheet1")->Activate();
  EXPECT_EQ(excel->SelectionAddress(), "B2");
  Sheet(u"Sheet2")->Activate();
  EXPECT_EQ(excel->SelectionAddress(), "C3:D4");

  excel->SetSheetVisibility(u"Sheet3", kSheetHidden);
  const host::HostError error = ErrorOf([&] { Sheet(u"Sheet3")->Activate(); });
  EXPECT_EQ(error.hresult(), errors::kExcelError);
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet2");
}

TEST_F(ExcelTest, SheetsCollectionCountsHiddenSheetsAndFindsNamesInAnyCase) {
  excel->SetSheetVisibility(u"Sheet3", kSheetVeryHidden);
  const auto sheets = excel->Sheets();
  EXPECT_EQ(sheets->Count(), 3);
  EXPECT_EQ(sheets->Item(3)->Name(), u"Sheet3");
  EXPECT_EQ(sheets->Item(u"sHEET2")->Name(), u"Sheet2");
  for (const auto& bad : std::vector<std::function<void()>>{
           [&] { sheets->Item(0); }, [&] { sheets->Item(4); }, [&] { sheets->Item(u"Nope"); }}) {
    EXPECT_EQ(ErrorOf(bad).hresult(), errors::kBadIndex);
  }
}

TEST_F(ExcelTest, ObjectsOfDeletedSheetsAndClosedWorkbooksAreDisconnected) {
  const auto sheet = Sheet(u"Sheet3");
  const auto range = Range("A1");
  sheet->Delete();
  EXPECT_EQ(ErrorOf([&] { sheet->Name(); }).hresult(), errors::kDisconnected);

  const auto sheets = excel->Sheets();
  excel->CloseActiveWorkbook();
  EXPECT_EQ(ErrorOf([&] { sheets->Count(); }).hresult(), errors::kDisconnected);
  EXPECT_EQ(ErrorOf([&] { range->Value(); }).hresult(), errors::kDisconnected);
}

TEST(NoWorkbook, ApplicationGivesNothingWhereExcelGivesNothing) {
  const auto excel = Excel::Create();
  EXPECT_EQ(excel->WorkbooksCount(), 0);
  EXPECT_EQ(excel->ActiveSheet(), nullptr);
  EXPECT_EQ(excel->Selection(), nullptr);
  EXPECT_EQ(ErrorOf([&] { excel->Sheets(); }).hresult(), errors::kExcelError);
  excel->AddWorkbook();
  excel->AddWorkbook({u"Other"});
  EXPECT_EQ(excel->WorkbooksCount(), 2);
  EXPECT_EQ(excel->ActiveSheet()->Name(), u"Other");
  excel->CloseActiveWorkbook();
  EXPECT_EQ(excel->ActiveSheet()->Name(), u"Sheet1");
}

}  // namespace
}  // namespace morvane::sim

namespace morvane::sim {
namespace {

// Formulas name sheets bare or quoted; only whole names of this workbook's sheet are
// references to it.
TEST(SheetReferences, RetargetOnlyTheNamedSheet) {
  struct Case {
    std::u16string formula;
    std::u16string from;
    std::u16string to;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"=Sheet1!A1+sheet1!B2", u"Sheet1", u"Data", u"=Data!A1+Data!B2"},
      {u"=Sheet10!A1+XSheet1!A1", u"Sheet1", u"Data", u"=Sheet10!A1+XSheet1!A1"},
      {u"='My ''Q'' Sheet'!B2", u"My 'Q' Sheet", u"Plain", u"=Plain!B2"},
      {u"=Sheet1!A1", u"Sheet1", u"My Sheet", u"='My Sheet'!A1"},
      {u"=Sheet1!A1", u"Sheet1", u"A1", u"='A1'!A1"},
      {u"=\"Sheet1!A1\"&[Book2]Sheet1!A1", u"Sheet1", u"Data", u"=\"Sheet1!A1\"&[Book2]Sheet1!A1"},
      {u"=SUM(Sheet1!A1:B2)", u"Sheet1", u"", u"=SUM(#REF!A1:B2)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RetargetReferences(c.formula, c.from, c.to), c.expected) << Utf16ToUtf8(c.formula);
  }
}

// A reference follows the sheet object: a rename carries it along, a delete leaves #REF!, and a
// copy's references to its source point at the copy while references elsewhere stay. A
// workbook-level name stays with the first in tab order of a sheet and its copy; the later one
// gets a local name.
TEST_F(ExcelTest, ReferencesFollowTheSheetNotItsName) {
  excel->PutFormula(u"Sheet2", "A1", u"=Sheet1!A1", std::u16string(u"x"));
  excel->PutFormula(u"Sheet1", "B1", u"=Sheet1!A1", std::u16string(u"x"));
  excel->AddName(u"Total", u"Sheet1");
  excel->AddName(u"Rates", u"Sheet3");

  Sheet(u"Sheet1")->CopyAfter(*Sheet(u"Sheet1"));
  EXPECT_EQ(excel->Cell(u"Sheet1 (2)", "B1").formula, u"='Sheet1 (2)'!A1");
  EXPECT_EQ(excel->Cell(u"Sheet2", "A1").formula, u"=Sheet1!A1");
  EXPECT_EQ(excel->NameRefersTo(u"Total"), u"Sheet1");
  EXPECT_EQ(excel->NameRefersTo(u"Total", u"Sheet1 (2)"), u"Sheet1 (2)");
  // A copy that lands in front of its source takes the workbook-level name along.
  Sheet(u"Sheet3")->CopyAfter(*Sheet(u"Sheet1"));
  EXPECT_EQ(excel->NameRefersTo(u"Rates"), u"Sheet3 (2)");
  EXPECT_EQ(excel->NameRefersTo(u"Rates", u"Sheet3"), u"Sheet3");

  Sheet(u"Sheet1")->SetName(u"Data");
  EXPECT_EQ(excel->Cell(u"Sheet2", "A1").formula, u"=Data!A1");
  EXPECT_EQ(excel->Cell(u"Data", "B1").formula, u"=Data!A1");
  EXPECT_EQ(excel->NameRefersTo(u"Total"), u"Data");

  Sheet(u"Data")->Delete();
  EXPECT_EQ(excel->Cell(u"Sheet2", "A1").formula, u"=#REF!A1");
  EXPECT_EQ(excel->NameRefersTo(u"Total"), u"#REF!");
  Sheet(u"Sheet1 (2)")->Delete();
  EXPECT_EQ(excel->NameRefersTo(u"Total", u"Sheet1 (2)"), u"")
      << "a local name goes with its sheet";
}

}  // namespace
}  // namespace morvane::sim
