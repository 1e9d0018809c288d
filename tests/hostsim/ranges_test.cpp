// Ranges as the wizard uses them: CountA of the selection, its constant cells, their
// intersection with the selection, and the order in which cells are visited.

#include <gtest/gtest.h>

#include "excel_fixture.h"

namespace morvane::sim {
namespace {

using testing::ErrorOf;
using testing::ExcelTest;

// Sheet1 holds one cell of every kind; C2 and D1 hold formulas.
class FilledSheetTest : public ExcelTest {
 protected:
  void SetUp() override {
    ExcelTest::SetUp();
    excel->Put(u"Sheet1", "A1", 1.0);
    excel->Put(u"Sheet1", "B1", std::u16string(u"x"));
    excel->Type(u"Sheet1", "A2", u"'");  // only the prefix: Value ""
    excel->Put(u"Sheet1", "B3", true);
    excel->Put(u"Sheet1", "E5", host::ErrorValue::NA);
    excel->PutFormula(u"Sheet1", "C2", u"=A1", 1.0);
    excel->PutFormula(u"Sheet1", "D1", u"=B1", std::u16string(u"x"));
    excel->SetNumberFormat(u"Sheet1", "F1", u"0.00");  // formatting only
  }
};

TEST_F(FilledSheetTest, CountACountsEveryNonEmptyCellOfEveryArea) {
  struct Case {
    const char* selection;
    double count;
  };
  const Case cases[] = {
      {"A1:E5", 7},       {"A:A", 2},     {"1:1048576", 7}, {"A1", 1},
      {"F1", 0},          {"G1:Z100", 0}, {"C2", 1},  // a formula counts
      {"A1:B1,B3:E5", 4}, {"A1,A1", 2},               // each area counts on its own
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selection);
    EXPECT_EQ(excel->CountA(Range(c.selection)), c.count);
  }
}

TEST_F(FilledSheetTest, SpecialCellsFindsConstantsClippedToTheUsedRange) {
  struct Case {
    const char* selection;
    const char* found;  // "" = "No cells were found."
  };
  const Case cases[] = {
      // One cell stands for the whole sheet, whichever cell it is.
      {"A1", "A1:B1,A2,B3,E5"},
      {"C2", "A1:B1,A2,B3,E5"},
      {"Z1000", "A1:B1,A2,B3,E5"},
      {"1:1048576", "A1:B1,A2,B3,E5"},
      {"A1:A2", "A1:A2"},
      {"A1:B3", "A1:B1,A2,B3"},
      {"2:2", "A2"},
      {"A1:A2,A1:B1", "A1:B1,A2"},  // overlapping areas give each cell once
      {"C:D", ""},                  // formulas only
      {"G10:H12", ""},              // outside the used range
      {"F1:F2", ""},                // formatting is not a constant
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selection);
    const auto range = Range(c.selection);
    if (*c.found == '\0') {
      const host::HostError error = ErrorOf([&] { range->SpecialCells(host::kCellTypeConstants); });
      EXPECT_EQ(error.hresult(), errors::kExcelError);
      EXPECT_EQ(error.description(), u"No cells were found.");
    } else {
      EXPECT_EQ(excel->AddressOf(range->SpecialCells(host::kCellTypeConstants)), c.found);
    }
  }
}

TEST_F(ExcelTest, SpecialCellsOnAnEmptySheetFindsNothing) {
  for (const char* selection : {"A1", "A1:B2", "1:1048576"}) {
    SCOPED_TRACE(selection);
    const host::HostError error =
        ErrorOf([&] { Range(selection)->SpecialCells(host::kCellTypeConstants); });
    EXPECT_EQ(error.description(), u"No cells were found.");
  }
}

TEST_F(ExcelTest, SpecialCellsOneCellRuleSearchesFromA1ToTheLastUsedCell) {
  excel->Put(u"Sheet1", "D4", std::u16string(u"a"));
  excel->Put(u"Sheet1", "E5", std::u16string(u" "));
  excel->Put(u"Sheet1", "E6", std::u16string(u"b"));
  excel->Put(u"Sheet1", "F6", std::u16string(u"c"));
  excel->Put(u"Sheet1", "E7", std::u16string(u"d"));
  EXPECT_EQ(excel->AddressOf(Range("A1")->SpecialCells(2)), "D4,E5,E6:F6,E7");
}

TEST_F(ExcelTest, SpecialCellsStacksRowsOfTheSameSpanIntoOneArea) {
  for (const char* a1 : {"A1", "B1", "A2", "B2", "A3", "B3", "D2"}) {
    excel->Put(u"Sheet1", a1, 1.0);
  }
  EXPECT_EQ(excel->AddressOf(Range("A1:D3")->SpecialCells(2)), "A1:B3,D2");
}

TEST_F(ExcelTest, SpecialCellsOfOtherTypesIsNotModelled) {
  excel->Put(u"Sheet1", "A1", 1.0);
  excel->PutFormula(u"Sheet1", "B2", u"=A1", 1.0);
  EXPECT_EQ(excel->AddressOf(Range("A1:B2")->SpecialCells(host::kCellTypeFormulas)), "B2");
  EXPECT_EQ(ErrorOf([&] { Range("A1:B2")->SpecialCells(4); }).hresult(), errors::kExcelError);
}

// Excel 2007 and earlier answer a search that finds more than 8,192 areas with the searched
// range, whole; Excel 2010 answers exactly.
TEST_F(ExcelTest, SpecialCellsFallsBackPastTheAreaLimitOnVersion12AndEarlier) {
  struct Case {
    const char* version;
    int areas;
    bool fallsBack;
  };
  const Case cases[] = {{"12.0", 8192, false},
                        {"12.0", 8193, true},
                        {"11.0", 8193, true},
                        {"14.0", 8193, false},
                        {"16.0", 20000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    SCOPED_TRACE(c.areas);
    excel = Excel::Create();
    excel->AddWorkbook();
    excel->SetVersion(Utf8ToUtf16(c.version));
    for (int i = 0; i < c.areas; ++i) {  // constants in every other row, formulas between
      excel->Put(u"Sheet1", std::string("A").append(std::to_string(2 * i + 1)),
                 std::u16string(u"x"));
      excel->PutFormula(u"Sheet1", std::string("A").append(std::to_string(2 * i + 2)), u"=1", 1.0);
    }
    const std::string searched = std::string("A1:A").append(std::to_string(2 * c.areas));
    const auto found = Range(searched)->SpecialCells(host::kCellTypeConstants);
    EXPECT_EQ(excel->AddressOf(found) == searched, c.fallsBack);
    EXPECT_EQ(found->AreaCount(), c.fallsBack ? 1 : c.areas);
  }
}

TEST_F(ExcelTest, IntersectGivesTheOverlapOrNothing) {
  struct Case {
    const char* a;
    const char* b;
    const char* overlap;  // "" = Nothing
  };
  const Case cases[] = {
      {"A1:C3", "B2:D4", "B2:C3"},     {"A1", "C3", ""},
      {"A1:B2,D4", "C3", ""},          {"A:A", "A1:B1,A3", "A1,A3"},
      {"A1:B1,A3", "A:A", "A1,A3"},    {"1:1048576", "B2,D4:E5", "B2,D4:E5"},
      {"A1:A10", "A5:C5,A2", "A5,A2"},  // areas of the second in their own order
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " x " + c.b);
    const auto a = Range(c.a);
    const auto b = Range(c.b);
    const auto overlap = excel->Intersect(a, b);
    if (*c.overlap == '\0') {
      EXPECT_EQ(overlap, nullptr);
    } else {
      ASSERT_NE(overlap, nullptr);
      EXPECT_EQ(excel->AddressOf(overlap), c.overlap);
    }
  }
}

TEST_F(ExcelTest, IntersectRefusesRangesOfDifferentSheetsAndThingsThatAreNotRanges) {
  const auto onSheet1 = Range("A1:B2");
  Sheet(u"Sheet2")->Activate();
  const auto onSheet2 = Range("A1:B2");
  EXPECT_EQ(ErrorOf([&] { excel->Intersect(onSheet1, onSheet2); }).hresult(), errors::kExcelError);
  excel->SelectShape();
  const auto shape = excel->Selection();
  EXPECT_EQ(ErrorOf([&] { excel->Intersect(shape, onSheet2); }).hresult(), errors::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { excel->Intersect(nullptr, onSheet2); }).hresult(),
            errors::kInvalidArgument);
}

std::vector<std::string> Visit(Excel& excel, const std::shared_ptr<host::Range>& range) {
  std::vector<std::string> cells;
  const auto enumerator = range->Cells();
  while (const auto cell = enumerator->Next()) {
    cells.push_back(excel.AddressOf(cell));
  }
  return cells;
}

TEST_F(ExcelTest, EnumerationVisitsAreasInOrderRowsThenColumns) {
  EXPECT_EQ(Visit(*excel, Range("B2:C3,A1")),
            (std::vector<std::string>{"B2", "C2", "B3", "C3", "A1"}));
  for (const char* a1 : {"B1", "A1", "A2", "B3", "E5"}) {
    excel->Put(u"Sheet1", a1, std::u16string(u"t"));
  }
  EXPECT_EQ(Visit(*excel, excel->Intersect(Range("1:1048576"), Range("A1")->SpecialCells(2))),
            (std::vector<std::string>{"A1", "B1", "A2", "B3", "E5"}));
}

TEST_F(ExcelTest, ASelectionThatIsNotARangeFailsLikeLateBinding) {
  excel->SelectShape();
  const auto shape = excel->Selection();
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(excel->SelectionAddress(), "");
  const std::vector<std::function<void()>> calls{
      [&] { shape->SpecialCells(2); },
      [&] { shape->Cells(); },
      [&] { shape->Value(); },
      [&] { shape->SetValue(1.0); },
  };
  for (const auto& call : calls) {
    EXPECT_EQ(ErrorOf(call).hresult(), errors::kNoSuchMember);
  }
  const host::HostError count = ErrorOf([&] { excel->CountA(shape); });
  EXPECT_EQ(count.hresult(), errors::kExcelError);
  EXPECT_EQ(count.description(),
            u"Unable to get the CountA property of the WorksheetFunction class");

  excel->SelectNothing();
  EXPECT_EQ(excel->Selection(), nullptr);
  EXPECT_EQ(ErrorOf([&] { excel->CountA(nullptr); }).hresult(), errors::kExcelError);
}

}  // namespace
}  // namespace morvane::sim
