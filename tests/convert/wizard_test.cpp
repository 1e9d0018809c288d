// The wizard's Convert on the edge cases a user meets: what is visited, what changes, what the
// form shows and how the host's settings end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/main_code.h"
#include "support/forwarding_application.h"
#include "support/snapshot_settings_check.h"
#include "support/wizard_convert_fixture.h"

namespace morvane {
namespace {

using fakes::ConvertTest;
using W = sim::SettingWrite;

const std::vector<W> kBusyWrites = {
    W{"EnableCancelKey", 2}, W{"StatusBar", std::u16string(u"Processing...!")},
    W{"ScreenUpdating", false}, W{"Calculation", -4135}, W{"DisplayAlerts", false}};
const std::vector<W> kClosingWrites = {W{"Calculation", -4105}, W{"StatusBar", std::u16string(u"")},
                                       W{"ScreenUpdating", true}, W{"DisplayAlerts", true}};

// "A1", "A2", ... built without operator+ on a literal, which g++ 12 at -O3 warns about wrongly.
std::string InColumnA(int row) {
  std::string a1 = "A";
  a1 += std::to_string(row);
  return a1;
}

std::vector<W> Concat(std::vector<W> a, const std::vector<W>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ConvertTest, ASingleSelectedTextCellIsTheOnlyOneThatChanges) {
  excel->Put(u"Sheet1", "B2", std::u16string(u"hello world"));
  excel->Put(u"Sheet1", "D7", std::u16string(u"elsewhere"));
  excel->Select("B2");
  Convert();
  EXPECT_EQ(TextAt("B2"), u"HELLO WORLD");
  EXPECT_EQ(TextAt("D7"), u"elsewhere");
  EXPECT_EQ(TextAt("B2", u"Sheet1_Undo"), u"hello world");
  EXPECT_EQ(form.captions, std::vector<std::u16string>{u"100 %"});
  EXPECT_EQ(form.closes, 1);
  EXPECT_TRUE(messages->shown.empty());
}

TEST_F(ConvertTest, ASingleFormulaCellIsSnapshotButNotChanged) {
  excel->Put(u"Sheet1", "B1", std::u16string(u"text"));
  excel->PutFormula(u"Sheet1", "A1", u"=B1", std::u16string(u"text"));
  excel->Select("A1");
  Convert();
  EXPECT_TRUE(SheetExists(u"Sheet1_Undo"));
  EXPECT_EQ(excel->Cell(u"Sheet1", "A1").formula, u"=B1");
  EXPECT_EQ(TextAt("B1"), u"text");
  EXPECT_EQ(excel->CallCount("Range.SetValue"), 0);
  EXPECT_EQ(form.progressMax, 1.0f);
  EXPECT_TRUE(form.captions.empty());
  EXPECT_EQ(form.closes, 1);
}

TEST_F(ConvertTest, TwoTextsAndTwoFormulasStopAtFiftyPercent) {
  excel->Put(u"Sheet1", "A1", std::u16string(u"one"));
  excel->PutFormula(u"Sheet1", "A2", u"=A1", std::u16string(u"one"));
  excel->Put(u"Sheet1", "A3", std::u16string(u"three"));
  excel->PutFormula(u"Sheet1", "A4", u"=A3", std::u16string(u"three"));
  excel->Select("A1:A4");
  Convert();
  EXPECT_EQ(form.progressMax, 4.0f);
  EXPECT_EQ(form.captions, (std::vector<std::u16string>{u"25 %", u"50 %"}));
  EXPECT_EQ(TextAt("A1"), u"ONE");
  EXPECT_EQ(TextAt("A3"), u"THREE");
  EXPECT_EQ(excel->Cell(u"Sheet1", "A2").formula, u"=A1");
  EXPECT_EQ(excel->Cell(u"Sheet1", "A4").formula, u"=A3");
}

class ConvertUserActionTest : public ConvertTest {
 protected:
  void SetUp() override {
    ConvertTest::SetUp();
    for (int row = 1; row <= 5; ++row) {
      excel->Put(u"Sheet1", InColumnA(row), std::u16string(u"Mixed Text"));
    }
    excel->Select("A1:A5");
  }
  std::vector<std::u16string> Column() const {
    std::vector<std::u16string> texts;
    for (int row = 1; row <= 5; ++row) {
      texts.push_back(TextAt(InColumnA(row)));
    }
    return texts;
  }
};

// STOP, or the window's close box, takes effect after the current cell; the rest stay as they
// were, and the form closes with the host restored.
TEST_F(ConvertUserActionTest, StopOrTheCloseBoxEndsTheConversionAfterTheCurrentCell) {
  for (const bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "STOP");
    SetUp();
    form = {};
    closeBox ? form.PressCloseBoxAfterCell(2) : form.PressStopAfterCell(2);
    Convert();
    EXPECT_EQ(Column(), (std::vector<std::u16string>{u"MIXED TEXT", u"MIXED TEXT", u"Mixed Text",
                                                     u"Mixed Text", u"Mixed Text"}));
    EXPECT_EQ(form.closes, 1);
    EXPECT_EQ(bStop, !closeBox);
    fakes::ExpectHostNotSuspended(*excel);
    EXPECT_EQ(excel->CurrentSettings().statusBar, u"");
  }
}

TEST_F(ConvertUserActionTest, AnotherOptionAppliesToTheCellsAfterIt) {
  form.ChooseOptionAfterCell(2, CaseMode::LowerCase);
  form.ChooseOptionAfterCell(4, CaseMode::SentenceCase);
  Convert();
  EXPECT_EQ(Column(), (std::vector<std::u16string>{u"MIXED TEXT", u"MIXED TEXT", u"mixed text",
                                                   u"mixed text", u"Mixed text"}));
}

TEST_F(ConvertUserActionTest, AStopLeftFromTheLastConversionIsCleared) {
  bStop = true;
  Convert();
  EXPECT_EQ(form.captions.size(), 5u);
}

// A host whose COUNTA counts fewer cells than its enumeration then gives: the constants are
// some of the non-empty cells, so the walk has gone wrong, and neither Convert nor undo goes on
// past the count. Convert stops and says so; undo is taken back whole and keeps its copy.
class UndercountingExcel final : public fakes::ForwardingApplication {
 public:
  using ForwardingApplication::ForwardingApplication;
  double CountA(const std::shared_ptr<host::Range>& range) override {
    return inner().CountA(range) - 1;
  }
};

TEST_F(ConvertTest, NeitherConvertNorUndoWalksPastTheNonEmptyCount) {
  for (const char* cell : {"A1", "A2", "A3"}) {
    excel->Put(u"Sheet1", cell, std::u16string(u"text"));
  }
  excel->Select("A1:A3");
  xlApp = std::make_shared<UndercountingExcel>(excel);
  Convert();
  EXPECT_EQ(TextAt("A1"), u"TEXT");
  EXPECT_EQ(TextAt("A2"), u"TEXT");
  EXPECT_EQ(TextAt("A3"), u"text");
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{u"1 cell could not be changed!"});
  const auto converted = excel->Cells(u"Sheet1");
  EXPECT_THROW(UndoLastChange(), host::HostError);
  EXPECT_EQ(excel->Cells(u"Sheet1"), converted);
  EXPECT_EQ(excel->SheetNames(), (std::vector<std::u16string>{u"Sheet1", u"Sheet1_Undo"}));
}

TEST_F(ConvertTest, ManualCalculationBeforeEndsAutomatic) {
  excel->SetCalculation(host::kCalculationManual);
  excel->Put(u"Sheet1", "A1", std::u16string(u"x"));
  excel->Select("A1");
  excel->ClearSettingsLog();
  Convert();
  EXPECT_EQ(excel->CurrentSettings().calculation, host::kCalculationAutomatic);
  EXPECT_EQ(excel->SettingsLog(), Concat(kBusyWrites, kClosingWrites));
}

// Selections with nothing to convert: a message, no snapshot, and the host restored.
struct NothingToConvertCase {
  const char* name;
  void (*select)(sim::Excel&);
};

class ConvertNothingTest : public ConvertTest,
                           public ::testing::WithParamInterface<NothingToConvertCase> {};

TEST_P(ConvertNothingTest, SaysTheSelectionIsEmptyAndTakesNoSnapshot) {
  excel->Put(u"Sheet1", "A1", std::u16string(u"outside"));
  GetParam().select(*excel);
  excel->ClearSettingsLog();
  Convert();
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{u"Selection is Empty!"});
  EXPECT_EQ(excel->SheetNames(), std::vector<std::u16string>{u"Sheet1"});
  EXPECT_EQ(TextAt("A1"), u"outside");
  EXPECT_EQ(excel->SettingsLog(), Concat(kBusyWrites, kClosingWrites));
  EXPECT_FALSE(form.stopShown);
  EXPECT_EQ(form.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ConvertNothingTest,
    ::testing::Values(NothingToConvertCase{"EmptyCells", [](sim::Excel& x) { x.Select("C3:D9"); }},
                      NothingToConvertCase{"AShape", [](sim::Excel& x) { x.SelectShape(); }},
                      NothingToConvertCase{"Nothing", [](sim::Excel& x) { x.SelectNothing(); }}),
    [](const ::testing::TestParamInfo<NothingToConvertCase>& test) { return test.param.name; });

TEST_F(ConvertTest, WithNoWorkbookOnlyTheMessageAndTheClosingStepsRun) {
  excel->CloseActiveWorkbook();
  Convert();
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{u"Please add a New Workbook!"});
  // Excel refuses the Calculation write without a workbook; the other closing steps still run.
  EXPECT_EQ(excel->SettingsLog(),
            (std::vector<W>{W{"StatusBar", std::u16string(u"")}, W{"ScreenUpdating", true},
                            W{"DisplayAlerts", true}}));
  EXPECT_EQ(excel->CallCount("Application.SetCalculation"), 1);
  EXPECT_EQ(form.closes, 1);
}

TEST_F(ConvertTest, WithoutAHostTheFormStillCloses) {
  xlApp.reset();
  Convert();
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{u"Please add a New Workbook!"});
  EXPECT_EQ(form.closes, 1);
}

// Whole columns and the whole sheet: only the constants inside the selection are visited, and
// the cost follows the filled cells, not the selection's size.
struct WideSelectionCase {
  const char* name;
  const char* selection;
  std::vector<std::string> converted;
  std::vector<std::string> untouched;
};

class ConvertWideSelectionTest : public ConvertTest,
                                 public ::testing::WithParamInterface<WideSelectionCase> {};

TEST_P(ConvertWideSelectionTest, VisitsOnlyTheConstantsInside) {
  const WideSelectionCase& c = GetParam();
  for (const char* a1 : {"A1", "A900000", "C2", "XFD1048576"}) {
    excel->Put(u"Sheet1", a1, std::u16string(u"text"));
  }
  excel->PutFormula(u"Sheet1", "A5", u"=C2", std::u16string(u"text"));
  excel->Select(c.selection);
  Convert();
  for (const auto& a1 : c.converted) {
    EXPECT_EQ(TextAt(a1), u"TEXT") << a1;
  }
  for (const auto& a1 : c.untouched) {
    EXPECT_EQ(TextAt(a1), u"text") << a1;
  }
  EXPECT_EQ(excel->CallCount("Range.SetValue"), static_cast<long long>(c.converted.size()));
  EXPECT_EQ(excel->CallCount("Range.Value"), static_cast<long long>(c.converted.size()));
  EXPECT_EQ(form.captions.size(), c.converted.size());
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ConvertWideSelectionTest,
    ::testing::Values(
        WideSelectionCase{"WholeColumn", "A:A", {"A1", "A900000"}, {"C2", "XFD1048576"}},
        WideSelectionCase{"TwoAreas", "A1:A10,C:C", {"A1", "C2"}, {"A900000", "XFD1048576"}},
        WideSelectionCase{"WholeSheet", "A:XFD", {"A1", "A900000", "C2", "XFD1048576"}, {}}),
    [](const ::testing::TestParamInfo<WideSelectionCase>& test) { return test.param.name; });

// When the undo copy cannot be made, the conversion still goes ahead on the working sheet, no
// half-made copy is left among the user's sheets, and one closing message says it cannot be
// undone, with the count of cells left as they were.
struct FailedSnapshotCase {
  const char* name;
  std::vector<std::u16string> sheets;  // the working sheet is the last one
  bool structureProtected = false;
  bool withUnchangeableCell = false;  // a text at the length limit that would need the prefix
  std::u16string message = u"This conversion cannot be undone!";
};

class ConvertFailedSnapshotTest : public ConvertTest,
                                  public ::testing::WithParamInterface<FailedSnapshotCase> {};

TEST_P(ConvertFailedSnapshotTest, ConvertsTheWorkingSheetWithoutACopy) {
  const FailedSnapshotCase& c = GetParam();
  excel->AddWorkbook(c.sheets);
  const std::u16string working = c.sheets.back();
  excel->ActivateSheet(working);
  for (const auto& sheet : c.sheets) {
    excel->Put(sheet, "B2", std::u16string(u"some text"));
  }
  if (c.withUnchangeableCell) {
    excel->Put(working, "B3", u"=" + std::u16string(32766, u'a'));
  }
  excel->ProtectStructure(c.structureProtected);
  excel->Select("B2:B3");
  Convert();
  EXPECT_EQ(messages->shown, std::vector<std::u16string>{c.message});
  EXPECT_EQ(excel->SheetNames(), c.sheets);
  EXPECT_EQ(excel->ActiveSheetName(), working);
  for (const auto& sheet : c.sheets) {
    EXPECT_EQ(TextAt("B2", sheet), sheet == working ? u"SOME TEXT" : u"some text");
  }
  EXPECT_EQ(form.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, ConvertFailedSnapshotTest,
    ::testing::Values(FailedSnapshotCase{"NameTooLong", {u"Quarterly figures 2024 East"}},
                      FailedSnapshotCase{"CopyNameTakenInOtherCase",
                                         {u"SHEET1_UNDO", u"Other", u"Sheet1"}},
                      FailedSnapshotCase{"StructureProtected", {u"Sheet1"}, true},
                      FailedSnapshotCase{"AndACellLeft",
                                         {u"Quarterly figures 2024 East"},
                                         false,
                                         true,
                                         u"1 cell could not be changed! This conversion cannot "
                                         u"be undone!"}),
    [](const ::testing::TestParamInfo<FailedSnapshotCase>& test) { return test.param.name; });

TEST_F(ConvertTest, TheStepsComeInTheirOrderAroundTheSnapshot) {
  excel->Put(u"Sheet1", "A1", std::u16string(u"x"));
  excel->Select("A1");
  std::vector<std::pair<std::string, long long>> copiesSeen;
  form.observer = [&](const std::string& call) {
    if (call != "SelectedOption" && call != "CloseRequested") {
      copiesSeen.emplace_back(call, excel->CallCount("Sheet.CopyAfter"));
    }
  };
  Convert();
  const std::vector<std::pair<std::string, long long>> expected = {
      {"SetProgressMax", 0},   {"ShowStopInsteadOfConvert", 1}, {"ProcessPendingMessages", 1},
      {"SetProgressValue", 1}, {"SetPercentCaption", 1},        {"CloseAndDiscard", 1}};
  EXPECT_EQ(copiesSeen, expected);
}

}  // namespace
}  // namespace morvane
