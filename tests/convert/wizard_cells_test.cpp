// What Convert does to each kind of cell: only text is converted, an unchanged text is not
// written, and a text stays a text even when Excel would read the new text as something else.
// Host calls are counted, because each one is a cross-process call on the real host.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "snapshot/main_code.h"
#include "support/adapter_calls.h"
#include "support/wizard_convert_fixture.h"

namespace morvane {
namespace {

using fakes::ConvertTest;

// Non-text constants are visited (they count in the progress) but keep their exact value and
// type: their text form would lose digits, fractions of seconds or the type itself.
struct KeptCase {
  const char* name;
  host::CellValue value;
  std::u16string numberFormat;
};

class ConvertKeepsNonTextTest : public ConvertTest,
                                public ::testing::WithParamInterface<KeptCase> {};

TEST_P(ConvertKeepsNonTextTest, LeavesTheValueAsItIs) {
  const KeptCase& c = GetParam();
  excel->Put(u"Sheet1", "A1", c.value, c.numberFormat);
  excel->Put(u"Sheet1", "A2", std::u16string(u"text"));
  const sim::CellContent before = excel->Cell(u"Sheet1", "A1");
  excel->Select("A1:A2");
  excel->ResetCounters();
  Convert();
  EXPECT_EQ(excel->Cell(u"Sheet1", "A1"), before);
  EXPECT_EQ(TextAt("A2"), u"TEXT");
  EXPECT_EQ(form.captions, (std::vector<std::u16string>{u"50 %", u"100 %"}));
  EXPECT_EQ(excel->CallCount("Range.SetValue"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Constants, ConvertKeepsNonTextTest,
    ::testing::Values(KeptCase{"SeventeenDigits", 0.1 + 0.2, u"General"},
                      KeptCase{"DateWithMilliseconds", host::Date{45000.123456789}, u"m/d/yyyy"},
                      KeptCase{"Currency", host::Currency{123456789}, u"$#,##0.00"},
                      KeptCase{"Logical", true, u"General"},
                      KeptCase{"ErrorValue", host::ErrorValue::Ref, u"General"}),
    [](const ::testing::TestParamInfo<KeptCase>& test) { return test.param.name; });

// Texts that the case rule leaves as they are are not written: Excel would read them again.
TEST_F(ConvertTest, UnchangedTextsAreNotWritten) {
  excel->Type(u"Sheet1", "A1", u"'00123");
  excel->Put(u"Sheet1", "A2", std::u16string(u"ALREADY UPPER"));
  excel->Type(u"Sheet1", "A3", u"'");  // a prefix only: the empty text
  const auto before = excel->Cells(u"Sheet1");
  excel->Select("A1:A3");
  Convert();
  EXPECT_EQ(excel->Cells(u"Sheet1"), before);
  EXPECT_EQ(excel->CallCount("Range.SetValue"), 0);
}

// Host calls through the Excel adapter over a column of 10,000 texts, each step's per cell
// changed or left: a changed or restored cell costs its one write and little more, since the
// values come a band of rows per call; a cell left as it is costs almost nothing.
TEST_F(ConvertTest, HostCallsPerCellAreAboutOneWritePerChangedCell) {
  constexpr int kCells = 10000;
  for (int row = 1; row <= kCells; ++row) {
    excel->Put(u"Sheet1", std::string("A").append(std::to_string(row)),
               std::u16string(u"main street"));
  }
  excel->Select("A1:A10000");
  form.option = CaseMode::UpperCase;
  const auto retypeAll = [&] {
    for (int row = 1; row <= kCells; ++row) {
      excel->Put(u"Sheet1", std::string("A").append(std::to_string(row)),
                 std::u16string(u"typed since"));
    }
  };
  struct Step {
    const char* name;
    std::function<void()> run;
    long long writes;
    double mostCallsPerCell;
  };
  const Step steps[] = {
      {"convert, every cell changed", [&] { Convert(); }, kCells, 1.05},
      {"undo, every cell restored", UndoLastChange, kCells, 1.1},
      {"redo, every cell restored", RedoLastChange, kCells, 1.1},
      {"convert, every cell already in case", [&] { Convert(); }, 0, 0.05},
      {"undo, every cell retyped since", [&] { retypeAll(), UndoLastChange(); }, 0, 0.05},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    excel->ResetCounters();
    step.run();
    EXPECT_EQ(excel->CallCount("Range.SetValue"), step.writes);
    EXPECT_LE(fakes::AdapterCalls(*excel) / kCells, step.mostCallsPerCell);
  }
}

// Changed texts that Excel would read as another kind of value still end as the converted
// text, in one write, with the cell's number format as it was. Host calls per cell are counted
// too, because each one is a cross-process call on the real host: one read of the value, one
// write, and a read of the number format only for a text Excel might read as something else.
struct StaysTextCase {
  const char* name;
  std::u16string typed;  // as the user typed it into the cell
  std::u16string numberFormat;
  CaseMode mode;
  std::u16string expected;
  long long formatReads;
};

class ConvertStaysTextTest : public ConvertTest,
                             public ::testing::WithParamInterface<StaysTextCase> {};

TEST_P(ConvertStaysTextTest, TheCellHoldsTheConvertedTextInItsFormat) {
  const StaysTextCase& c = GetParam();
  excel->SetNumberFormat(u"Sheet1", "A1", c.numberFormat);
  excel->Type(u"Sheet1", "A1", c.typed);
  ASSERT_NE(TextAt("A1"), u"<not text>") << "the set-up must start from a text cell";
  excel->Select("A1");
  excel->ResetCounters();
  form.option = c.mode;
  Convert();
  const sim::CellContent cell = excel->Cell(u"Sheet1", "A1");
  EXPECT_EQ(cell.value, host::CellValue(c.expected));
  EXPECT_FALSE(cell.HasFormula());
  EXPECT_EQ(cell.numberFormat, c.numberFormat);
  EXPECT_EQ(excel->CallCount("Range.Value"), 1);
  EXPECT_EQ(excel->CallCount("Range.NumberFormat"), c.formatReads);
  EXPECT_EQ(excel->CallCount("Range.SetValue"), 1);
  EXPECT_EQ(excel->CallCount("CellEnumerator.Next"), 2);  // the cell, then the end
  EXPECT_TRUE(messages->shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertStaysTextTest,
    ::testing::Values(
        StaysTextCase{"PlainWords", u"plain words", u"General", CaseMode::UpperCase, u"PLAIN WORDS",
                      0},
        StaysTextCase{"Logical", u"'true", u"General", CaseMode::UpperCase, u"TRUE", 1},
        StaysTextCase{"LogicalLowered", u"'FALSE", u"General", CaseMode::LowerCase, u"false", 1},
        StaysTextCase{"ErrorName", u"'#n/a", u"General", CaseMode::UpperCase, u"#N/A", 1},
        StaysTextCase{"Formula", u"'=hyperlink(a1)", u"General", CaseMode::UpperCase,
                      u"=HYPERLINK(A1)", 1},
        StaysTextCase{"Scientific", u"'1e5", u"General", CaseMode::UpperCase, u"1E5", 1},
        StaysTextCase{"Date", u"'jan 5", u"General", CaseMode::UpperCase, u"JAN 5", 1},
        StaysTextCase{"MonthAndYear", u"'may 2020", u"General", CaseMode::UpperCase, u"MAY 2020",
                      1},
        StaysTextCase{"Time", u"'12:30 pm", u"General", CaseMode::UpperCase, u"12:30 PM", 1},
        StaysTextCase{"DateAndTime", u"'1/2/2020 10:00 am", u"General", CaseMode::UpperCase,
                      u"1/2/2020 10:00 AM", 1},
        StaysTextCase{"LeadingApostrophe", u"''abc", u"General", CaseMode::UpperCase, u"'ABC", 1},
        StaysTextCase{"DigitsThatStayText", u"12 main st", u"General", CaseMode::TitleCase,
                      u"12 Main St", 1},
        StaysTextCase{"TextFormatted", u"true", u"@", CaseMode::TitleCase, u"True", 1},
        StaysTextCase{"FormulaLikeTextFormatted", u"=a1", u"@", CaseMode::UpperCase, u"=A1", 1},
        StaysTextCase{"ApostropheTextFormatted", u"'flat 4b", u"@", CaseMode::UpperCase,
                      u"'FLAT 4B", 1}),
    [](const ::testing::TestParamInfo<StaysTextCase>& test) { return test.param.name; });

// At Excel's 32,767-unit limit the prefix has no room: a text Excel keeps as it is goes in bare
// (a number, a "#" first), one it would read as a date stays as it was and is reported.
TEST_F(ConvertTest, AtTheLengthLimitOnlyATextExcelWouldMisreadIsLeft) {
  const auto full = [](std::u16string text, const std::u16string& filler) {
    while (text.size() < 32767) {
      text += filler;
    }
    text.resize(32767);
    return text;
  };
  const std::u16string date = full(u"jan 5", u" ");
  excel->Put(u"Sheet1", "A1", full(u"2024 report", u" of the year"));
  excel->Put(u"Sheet1", "A2", full(u"#1 hit", u" and more"));
  excel->Put(u"Sheet1", "A3", date);
  excel->Select("A1:A3");
  form.option = CaseMode::UpperCase;
  Convert();
  EXPECT_EQ(TextAt("A1"), full(u"2024 REPORT", u" OF THE YEAR"));
  EXPECT_EQ(TextAt("A2"), full(u"#1 HIT", u" AND MORE"));
  EXPECT_EQ(TextAt("A3"), date);
  EXPECT_EQ(messages->shown, (std::vector<std::u16string>{u"1 cell could not be changed!"}));
}

// A locked cell on a protected sheet refuses the write; the conversion goes on after it.
TEST_F(ConvertTest, ARefusedWriteSkipsOnlyThatCell) {
  excel->Put(u"Sheet1", "A1", std::u16string(u"locked"));
  excel->Put(u"Sheet1", "A2", std::u16string(u"open"));
  excel->SetLocked(u"Sheet1", "A2", false);
  excel->ProtectSheet(u"Sheet1", true);
  excel->Select("A1:A2");
  Convert();
  EXPECT_EQ(TextAt("A1"), u"locked");
  EXPECT_EQ(TextAt("A2"), u"OPEN");
  EXPECT_EQ(form.captions.back(), u"100 %");
  EXPECT_EQ(messages->shown, (std::vector<std::u16string>{u"1 cell could not be changed!"}));
}

}  // namespace
}  // namespace morvane
