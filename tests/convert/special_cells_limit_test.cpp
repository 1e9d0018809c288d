// Excel 2000 to 2007 answer a SpecialCells search that would find more than 8,192 areas with
// every cell of the searched range, formulas included. On every host version, Convert, undo and
// redo write constant texts only: every formula is kept, every constant text converted and
// restored, in the order of the areas and their rows.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "addin/model/utf8.h"
#include "convert/rules/case_rules.h"
#include "snapshot/main_code.h"
#include "support/wizard_convert_fixture.h"

namespace morvane {
namespace {

struct LimitCase {
  const char* name;
  const char* version;
  int rows;
  int columns;
  const char* selection;
  std::vector<std::pair<int, int>> selectedRows;  // 1-based, inclusive
  bool formulasInColumnB = false;                 // else a lattice
};

// The user presses STOP after this many cells: past the first block of 8,192 cells.
constexpr int kStopAfter = 9000;

class SpecialCellsLimitTest : public fakes::ConvertTest,
                              public ::testing::WithParamInterface<LimitCase> {
 protected:
  static std::string At(int row, int column) {
    std::string a1(1, static_cast<char>('A' + column));
    return a1.append(std::to_string(row + 1));
  }
  // A lattice of constant texts and formulas showing a text: no two constants touch in a row
  // or a column, so the constants are as many areas as cells. Or formulas in column B alone, so
  // the constants are a few large areas, whose values are read a band at a time.
  bool IsConstant(int row, int column) const {
    return GetParam().formulasInColumnB ? column != 1 : (row + column) % 2 == 0;
  }
  bool Selected(int row) const {
    for (const auto& [first, last] : GetParam().selectedRows) {
      if (row + 1 >= first && row + 1 <= last) {
        return true;
      }
    }
    return false;
  }
};

TEST_P(SpecialCellsLimitTest, OnlyConstantTextsAreEverWrittenAreaByAreaRowByRow) {
  const LimitCase& c = GetParam();
  excel->SetVersion(Utf8ToUtf16(c.version));
  std::map<std::string, std::u16string> converted;  // what the conversion gives each cell
  for (int row = 0; row < c.rows; ++row) {
    for (int column = 0; column < c.columns; ++column) {
      if (!IsConstant(row, column)) {
        excel->PutFormula(u"Sheet1", At(row, column), u"=A1", std::u16string(u"shown"));
        continue;
      }
      // No digit in it: the add-in would write a text with one behind an apostrophe, which
      // stays after undo.
      const std::u16string text = u"a name";
      excel->Put(u"Sheet1", At(row, column), text);
      const bool reached = Selected(row) && converted.size() < kStopAfter;
      if (reached) {
        converted[At(row, column)] = ApplyCase(text, CaseMode::UpperCase);
      }
    }
  }
  const auto original = excel->Cells(u"Sheet1");
  const auto expectEveryCell = [&](bool convertedState) {
    const auto now = excel->Cells(u"Sheet1");
    ASSERT_EQ(now.size(), original.size());
    for (const auto& [a1, before] : original) {
      const sim::CellContent& cell = now.at(a1);
      if (before.HasFormula()) {
        ASSERT_EQ(cell, before) << a1 << ": a formula was written";
      } else if (convertedState && converted.count(a1) != 0) {
        ASSERT_EQ(cell.value, host::CellValue(converted.at(a1))) << a1;
      } else {
        ASSERT_EQ(cell, before) << a1;
      }
    }
  };
  excel->Select(c.selection);
  form.PressStopAfterCell(kStopAfter);

  Convert();
  expectEveryCell(true);
  UndoLastChange();
  expectEveryCell(false);
  RedoLastChange();
  expectEveryCell(true);
  EXPECT_EQ(excel->CallCount("Range.SetValue"), 3 * static_cast<long long>(converted.size()));
  EXPECT_TRUE(messages->shown.empty());
}

// Each lattice's constants are more than 8,192 areas.
INSTANTIATE_TEST_SUITE_P(
    HostsAndShapes, SpecialCellsLimitTest,
    ::testing::Values(
        LimitCase{"Excel2003AlternatingRows", "11.0", 20000, 1, "A1:A20000", {{1, 20000}}},
        LimitCase{"Excel2007AlternatingRows", "12.0", 20000, 1, "A1:A20000", {{1, 20000}}},
        LimitCase{"Excel2010AlternatingRows", "14.0", 20000, 1, "A1:A20000", {{1, 20000}}},
        LimitCase{"Excel2003Lattice", "11.0", 5000, 4, "A1:D5000", {{1, 5000}}},
        LimitCase{"Excel2007Lattice", "12.0", 5000, 4, "A1:D5000", {{1, 5000}}},
        LimitCase{"Excel2010Lattice", "14.0", 5000, 4, "A1:D5000", {{1, 5000}}},
        LimitCase{"Excel2003WholeColumns", "11.0", 20000, 2, "A:B", {{1, 20000}}},
        LimitCase{"Excel2007WholeColumns", "12.0", 20000, 2, "A:B", {{1, 20000}}},
        LimitCase{"Excel2010WholeColumns", "14.0", 20000, 2, "A:B", {{1, 20000}}},
        LimitCase{"Excel2007OneCell", "12.0", 20000, 1, "A9999", {{9999, 9999}}},
        LimitCase{"Excel2007TwoAreas",
                  "12.0",
                  20000,
                  1,
                  "A1:A3000,A11001:A20000",
                  {{1, 3000}, {11001, 20000}}},
        // 8,000 constants, fewer than STOP comes after: the order does not matter.
        LimitCase{"Excel2003FormulaColumn", "11.0", 4000, 3, "A1:C4000", {{1, 4000}}, true},
        LimitCase{"Excel2010FormulaColumn", "14.0", 4000, 3, "A1:C4000", {{1, 4000}}, true}),
    [](const ::testing::TestParamInfo<LimitCase>& test) { return test.param.name; });

}  // namespace
}  // namespace morvane
