// The small rules inside Convert: the percentage caption, and the tests that decide which
// converted texts need the apostrophe prefix.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "addin/model/utf8.h"
#include "convert/progress_caption.h"
#include "convert/rules/typed_input.h"
#include "hostsim/excel.h"

namespace morvane {
namespace {

struct CaptionCase {
  float value;
  float maximum;
  std::u16string caption;
};

TEST(PercentCaption, RoundsSinglePrecisionHalvesToEven) {
  const std::vector<CaptionCase> cases = {
      {1, 8, u"12 %"}, {3, 8, u"38 %"},  {5, 8, u"62 %"},   {7, 8, u"88 %"},       {8, 8, u"100 %"},
      {1, 3, u"33 %"}, {2, 3, u"67 %"},  {1, 200, u"0 %"},  {3, 200, u"2 %"},      {1, 40, u"2 %"},
      {0, 5, u"0 %"},  {7, 7, u"100 %"}, {1, 1e7f, u"0 %"}, {5e6f, 1e7f, u"50 %"},
  };
  for (const CaptionCase& c : cases) {
    EXPECT_EQ(PercentCaption(c.value, c.maximum), c.caption) << c.value << "/" << c.maximum;
  }
}

TEST(PercentCaption, AnEmptyBarShowsZero) {
  EXPECT_EQ(PercentCaption(0, 0), u"0 %");
}

// Every text the simulated Excel reads as something other than the same text must be caught
// by the cheap test; a miss would leave a converted cell holding another kind of value.
TEST(MightBeReadAsOtherThanText, CatchesEveryTextExcelRetypes) {
  const std::vector<std::u16string> texts = {
      u"TRUE",       u"true",   u"False",       u"#N/A",     u"#div/0!", u"#VALUE!", u"=A1",
      u"=a1+1",      u"+5",     u"-5",          u"@SUM(A1)", u"5",       u" 5 ",     u"(5)",
      u"1,000",      u"5%",     u"1E5",         u"1e-3",     u"1 1/2",   u"$5",      u"1/2/2020",
      u"2020-01-02", u"JAN 5",  u"jan 2, 2020", u"12:30",    u"1/2",     u"'abc",    u"'",
      u"",           u"12 AM",  u"MAIN ST",     u"Hello",    u"ABC",     u"Café",    u"x y z",
      u"TRUE ",      u" FALSE", u"Mr. Smith",   u"e",        u"E",       u"pm",      u"-",
  };
  int retyped = 0;
  for (const std::u16string& text : texts) {
    const auto excel = sim::Excel::Create();
    excel->AddWorkbook({u"Sheet1"});
    excel->Type(u"Sheet1", "A1", text);
    const sim::CellContent cell = excel->Cell(u"Sheet1", "A1");
    const auto* held = std::get_if<std::u16string>(&cell.value);
    const bool keptAsIs = held != nullptr && *held == text && !cell.HasFormula();
    if (!keptAsIs) {
      ++retyped;
      EXPECT_TRUE(MightBeReadAsOtherThanText(text)) << Utf16ToUtf8(text) << " is retyped by Excel";
      EXPECT_FALSE(SurelyReadAsItself(text)) << Utf16ToUtf8(text) << " is retyped by Excel";
    }
  }
  EXPECT_GT(retyped, 25);  // the list exercises the retyping rules, not just plain words
}

TEST(MightBeReadAsOtherThanText, LetsOrdinaryWordsThrough) {
  for (const std::u16string text :
       {u"MAIN STREET", u"Hello", u"TRUE STORY", u"Über Café", u"e-mail", u"O'NEIL"}) {
    EXPECT_FALSE(MightBeReadAsOtherThanText(text)) << Utf16ToUtf8(text);
  }
}

TEST(MightBeReadAsOtherThanText, KnowsLogicalNamesOfOtherExcelLanguages) {
  for (const std::u16string text : {u"wahr", u"Faux", u"VERDADERO", u"ложь", u"doğru"}) {
    EXPECT_TRUE(MightBeReadAsOtherThanText(text)) << Utf16ToUtf8(text);
  }
}

}  // namespace
}  // namespace morvane
