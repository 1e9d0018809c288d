// Cell values: text written to Value is read as typed input, Value comes back typed by the
// cell's format, and protection refuses writes as Excel does. These are the facts that decide
// whether a case change can turn text into something else.

#include <gtest/gtest.h>

#include "excel_fixture.h"
#include "hostsim/typed_dates.h"

namespace morvane::sim {
namespace {

using host::CellValue;
using host::Currency;
using host::Date;
using host::Empty;
using host::ErrorValue;
using testing::ErrorOf;
using testing::ExcelTest;

std::u16string Text(const char* ascii) {
  return std::u16string(ascii, ascii + strlen(ascii));
}

TEST_F(ExcelTest, TextWrittenToValueIsReadAsTypedInput) {
  const double thisYearJan2 = DateSerial(CurrentYear(), 1, 2);
  struct Case {
    const char* text;
    CellValue value;  // what Value gives back
    bool formula = false;
    bool prefix = false;
  };
  const Case cases[] = {
      {"", Empty{}},
      {"hello", Text("hello")},
      {"Title Case", Text("Title Case")},
      {" ", Text(" ")},
      {"5", 5.0},
      {" 5 ", 5.0},
      {"-5", -5.0},
      {"(5)", -5.0},
      {"1,000", 1000.0},
      {"1,234,567.5", 1234567.5},
      {"5%", 0.05},
      {"1e3", 1000.0},
      {"1.5E-2", 0.015},
      {"1 1/2", 1.5},
      {"$5", Currency{50000}},
      {"-$1,234.50", Currency{-12345000}},
      // Beyond Currency's 922,337,203,685,477.5807 an amount stays a plain number.
      {"$900,000,000,000,000", Currency{9'000'000'000'000'000'000}},
      {"$922337203685478", 922337203685478.0},
      {"-$922337203685478", -922337203685478.0},
      {"1/2/2020", Date{43832}},
      {"2020-01-02", Date{43832}},
      {"Jan 2, 2020", Date{43832}},
      {"2-Jan-2020", Date{43832}},
      {"may 2020", Date{43952}},
      {"1/2", Date{thisYearJan2}},
      {"1/2/2020 12:00", Date{43832.5}},
      {"1/2/30", Date{10960}},  // two-digit years from 30 are 19xx
      {"Jan 2", Date{thisYearJan2}},
      {"Jan2020", Text("Jan2020")},
      {"3 pm", 0.625},
      {"12:30", 0.5208333333333334},
      {"2/29/2021", Text("2/29/2021")},
      {"13/1/2020", Text("13/1/2020")},
      {"2/29/2020", Date{43890}},
      {"TRUE", true},
      {"true", true},
      {"False", false},
      {" TRUE", Text(" TRUE")},
      {"TRUE ", Text("TRUE ")},
      {"#N/A", ErrorValue::NA},
      {"#n/a", ErrorValue::NA},
      {"#DIV/0!", ErrorValue::Div0},
      {"#value!", ErrorValue::Value},
      {"#REF!", ErrorValue::Ref},
      {"#Name?", ErrorValue::Name},
      {"#NUM!", ErrorValue::Num},
      {"#null!", ErrorValue::Null},
      {"#N/A ", Text("#N/A ")},
      {"=1+1", Empty{}, true},  // no calculation engine: no result
      {" =1+1", Text(" =1+1")},
      {"'abc", Text("abc"), false, true},
      {"'", Text(""), false, true},
      {"''5", Text("'5"), false, true},
      {"'true", Text("true"), false, true},
      {"'=a1", Text("=a1"), false, true},
  };
  const auto cell = Range("A1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    excel->Put(u"Sheet1", "A1", Empty{});  // a fresh General cell
    cell->SetValue(Text(c.text));
    EXPECT_EQ(cell->Value(), c.value);
    const CellContent content = excel->Cell(u"Sheet1", "A1");
    EXPECT_EQ(content.HasFormula(), c.formula);
    if (c.formula) {
      EXPECT_EQ(content.formula, Text(c.text));
    }
    EXPECT_EQ(content.prefix, c.prefix);
  }
}

TEST_F(ExcelTest, TheApostrophePrefixSticksUntilANumberOrFormulaReplacesTheText) {
  struct Step {
    CellValue write;
    CellValue value;
    bool prefix;
  };
  const std::vector<Step> steps{
      {Text("'5"), Text("5"), true},
      {Text("abc"), Text("abc"), true},  // later text keeps the prefix
      {Text(""), Empty{}, true},         // emptied, but it sticks
      {Text("xyz"), Text("xyz"), true},
      {7.0, 7.0, false},  // a number clears it
      {Text("'a"), Text("a"), true},
      {Text("=A1"), Empty{}, false},  // so does a formula
  };
  const auto cell = Range("B2");
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    cell->SetValue(steps[i].write);
    EXPECT_EQ(cell->Value(), steps[i].value);
    EXPECT_EQ(excel->Cell(u"Sheet1", "B2").prefix, steps[i].prefix);
  }
}

TEST_F(ExcelTest, ATextFormattedCellKeepsEveryStringAsItIs) {
  const auto cell = Range("C3");
  for (const char* text : {"TRUE", "#N/A", "1/2/2020", "5", "=1+1", "$5", "may 2020"}) {
    SCOPED_TRACE(text);
    excel->Put(u"Sheet1", "C3", Empty{}, u"@");
    cell->SetValue(Text(text));
    EXPECT_EQ(cell->Value(), CellValue{Text(text)});
    EXPECT_FALSE(excel->Cell(u"Sheet1", "C3").HasFormula());
  }
  // Values that are not text are stored as they are.
  cell->SetValue(5.0);
  EXPECT_EQ(cell->Value(), CellValue{5.0});
  cell->SetValue(true);
  EXPECT_EQ(cell->Value(), CellValue{true});
}

TEST_F(ExcelTest, ValueComesBackTypedByTheCellsFormat) {
  struct Case {
    CellValue stored;
    const char16_t* format;
    CellValue value;
  };
  const Case cases[] = {
      {5.0, u"General", 5.0},
      {5.0, u"0.00", 5.0},
      {5.0, u"$#,##0.00", Currency{50000}},
      {5.0, u"[$\u20AC-407] #,##0.00", Currency{50000}},
      {1e15, u"$#,##0.00", 1e15},
      {43832.0, u"m/d/yyyy", Date{43832}},
      {43832.0, u"d-mmm-yy", Date{43832}},
      {43832.0, u"[$-409]mmmm d, yyyy", Date{43832}},
      {0.5, u"h:mm", 0.5},  // a time alone is a plain number
      {0.5, u"[h]:mm:ss", 0.5},
      {Date{43832}, u"General", Date{43832}},
      {Date{43832}, u"0.00", 43832.0},
      {Currency{12345}, u"General", Currency{12345}},
      {0.25, u"0%", 0.25},
      {ErrorValue::Div0, u"$#,##0.00", ErrorValue::Div0},
      {Text("5"), u"$#,##0.00", Text("5")},
      {true, u"m/d/yyyy", true},
  };
  const auto cell = Range("D4");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format)));
    excel->Put(u"Sheet1", "D4", c.stored, c.format);
    EXPECT_EQ(cell->Value(), c.value);
  }
}

TEST_F(ExcelTest, AFormulaCellGivesItsResult) {
  excel->PutFormula(u"Sheet1", "A1", u"=B1*2", 10.0);
  excel->SetNumberFormat(u"Sheet1", "A1", u"$#,##0");
  EXPECT_EQ(Range("A1")->Value(), CellValue{Currency{100000}});
  excel->PutFormula(u"Sheet1", "A2", u"=1/0", ErrorValue::Div0);
  EXPECT_EQ(Range("A2")->Value(), CellValue{ErrorValue::Div0});
}

TEST_F(ExcelTest, ValueWritesOfOtherKindsTakeTheirFormatInAGeneralCell) {
  Range("A1")->SetValue(Date{43832});
  EXPECT_EQ(Range("A1")->Value(), CellValue{Date{43832}});
  Range("A1")->SetValue(7.0);  // the date format stays, as in Excel
  EXPECT_EQ(Range("A1")->Value(), CellValue{Date{7}});
  Range("A2")->SetValue(Currency{25000});
  EXPECT_EQ(Range("A2")->Value(), CellValue{Currency{25000}});
  Range("A2")->SetValue(Empty{});
  EXPECT_EQ(Range("A2")->Value(), CellValue{Empty{}});
}

TEST_F(ExcelTest, TextLongerThanACellHoldsIsRefused) {
  const auto cell = Range("A1");
  cell->SetValue(std::u16string(32767, u'a'));
  EXPECT_EQ(std::get<std::u16string>(cell->Value()).size(), 32767u);
  EXPECT_EQ(ErrorOf([&] { cell->SetValue(std::u16string(32768, u'b')); }).hresult(),
            errors::kExcelError);
  EXPECT_EQ(std::get<std::u16string>(cell->Value())[0], u'a');
}

TEST_F(ExcelTest, AProtectedSheetWritesUnlockedCellsAndRefusesLockedOnes) {
  const std::u16string protectedText =
      u"The cell or chart you're trying to change is on a protected sheet. To make a change, "
      u"unprotect the sheet. You might be requested to enter a password.";
  excel->Put(u"Sheet1", "C1", Text("locked"));
  excel->SetLocked(u"Sheet1", "A1", false);
  excel->SetLocked(u"Sheet1", "B1", false);
  excel->ProtectSheet(u"Sheet1", true);

  const host::HostError error = ErrorOf([&] { Range("A1:C1")->SetValue(Text("new")); });
  EXPECT_EQ(error.hresult(), errors::kExcelError);
  EXPECT_EQ(error.description(), protectedText);
  EXPECT_EQ(excel->Cell(u"Sheet1", "A1").value, CellValue{Text("new")});
  EXPECT_EQ(excel->Cell(u"Sheet1", "B1").value, CellValue{Text("new")});
  EXPECT_EQ(excel->Cell(u"Sheet1", "C1").value, CellValue{Text("locked")});

  // Even writing the same value is refused; so is clearing a locked empty cell.
  EXPECT_EQ(ErrorOf([&] { Range("C1")->SetValue(Text("locked")); }).description(), protectedText);
  EXPECT_EQ(ErrorOf([&] { Range("D1")->SetValue(Empty{}); }).description(), protectedText);
  Range("A1")->SetValue(Text(""));
  EXPECT_EQ(excel->Cell(u"Sheet1", "A1").value, CellValue{Empty{}});
}

TEST_F(ExcelTest, AMultiCellRangeIsWrittenWholeButNotReadAsOneValue) {
  const auto range = Range("A1:B2");
  range->SetValue(Text("1,000"));
  EXPECT_EQ(excel->Cells(u"Sheet1").size(), 4u);
  EXPECT_EQ(excel->Cell(u"Sheet1", "B2").value, CellValue{1000.0});
  EXPECT_EQ(ErrorOf([&] { range->Value(); }).hresult(), errors::kTypeMismatch);
  // Clearing whole columns empties the filled cells; their formats stay.
  Range("A:B")->SetValue(Empty{});
  EXPECT_EQ(excel->CountA(Range("A:B")), 0);
  EXPECT_EQ(excel->Cell(u"Sheet1", "B2").numberFormat, u"#,##0");
}

}  // namespace
}  // namespace morvane::sim
