// The cells of a range walked with their values, over the shapes a selection or a search can
// take: each cell's value and its counterpart's (the value at the same place on another sheet)
// are exactly what reading that cell alone gives, in the range's own order, and the values come
// a band at a time where the range's areas are large enough to pay for it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/model/utf8.h"
#include "hostsim/excel.h"
#include "snapshot/cells_with_values.h"

namespace morvane {
namespace {

struct ShapeCase {
  const char* name;
  const char* range;
  bool banded;
  long long bandReads;  // of the working sheet
};

std::string At(int row, int column) {
  std::string a1;
  for (int c = column; c > 0; c = (c - 1) / 26) {
    a1.insert(a1.begin(), static_cast<char>('A' + (c - 1) % 26));
  }
  return a1.append(std::to_string(row));
}

// Texts, numbers, formulas and empty cells in A1:D40, texts on down column B to row 20,000 and
// along row 1 to its end, with other values at the same places on the copy.
void Fill(sim::Excel& excel, const std::u16string& sheet, const std::u16string& tag) {
  const auto fill = [&](int row, int column) {
    const std::u16string text = tag + Utf8ToUtf16(At(row, column));
    switch ((row + column) % 4) {
      case 0:
        excel.Put(sheet, At(row, column), text);
        break;
      case 1:
        excel.Put(sheet, At(row, column), row * 100.0 + column);
        break;
      case 2:
        excel.PutFormula(sheet, At(row, column), u"=1", text);
        break;
      default:
        break;  // empty
    }
  };
  for (int row = 1; row <= 40; ++row) {
    for (int column = 1; column <= 4; ++column) {
      fill(row, column);
    }
  }
  for (int column = 5; column <= 16384; ++column) {
    excel.Put(sheet, At(1, column), tag + Utf8ToUtf16(At(1, column)));
  }
  for (int row = 41; row <= 20000; ++row) {
    excel.Put(sheet, At(row, 2), tag + Utf8ToUtf16(At(row, 2)));
  }
}

class CellsWithValuesTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(CellsWithValuesTest, EachCellHasItsOwnValueAndItsCounterpartsInTheRangesOrder) {
  const ShapeCase& c = GetParam();
  auto excel = sim::Excel::Create();
  excel->AddWorkbook({u"Sheet1", u"Copy"});
  Fill(*excel, u"Sheet1", u"w");
  Fill(*excel, u"Copy", u"c");
  const auto sheet = excel->Sheets()->Item(u"Sheet1");
  const auto copy = excel->Sheets()->Item(u"Copy");
  const auto range = sheet->Range(Utf8ToUtf16(c.range));

  excel->ResetCounters();
  CellsWithValues cells(excel, sheet, OneRange(range), copy);
  std::vector<std::shared_ptr<host::Range>> visited;
  std::vector<host::CellValue> values;
  std::vector<host::CellValue> counterparts;
  while (const auto read = cells.Next()) {
    visited.push_back(read->cell);
    values.push_back(read->value.Get());
    counterparts.push_back(cells.Counterpart(*read));
  }
  EXPECT_EQ(excel->CallCount("Range.Values"), c.banded ? 2 * c.bandReads : 0);
  EXPECT_EQ(excel->CallCount("Range.Value"), c.banded ? 0 : 2 * std::ssize(visited));

  const auto order = range->Cells();
  for (std::size_t i = 0; i < visited.size(); ++i) {
    const auto cell = order->Next();
    ASSERT_NE(cell, nullptr);
    const std::string address = excel->AddressOf(cell);
    ASSERT_EQ(excel->AddressOf(visited[i]), address) << "cell " << i;
    ASSERT_EQ(values[i], cell->Value()) << address;
    ASSERT_EQ(counterparts[i], copy->Range(Utf8ToUtf16(address))->Value()) << address;
  }
  EXPECT_EQ(order->Next(), nullptr) << "cells left out";
}

// The used range is A1:XFD20000. "SeveralAreas" has 3 areas of 100 cells in all, "Scattered" 4
// of one cell each.
INSTANTIATE_TEST_SUITE_P(
    Shapes, CellsWithValuesTest,
    ::testing::Values(ShapeCase{"OneCell", "C3", false, 0}, ShapeCase{"OneRow", "A1:Z1", true, 1},
                      ShapeCase{"OneColumnInThreeBands", "B1:B20000", true, 3},
                      ShapeCase{"Block", "A1:D40", true, 1},
                      ShapeCase{"SeveralAreas", "A1:C20,E5:E40,A30:B31", true, 3},
                      ShapeCase{"Scattered", "A1,C1,E1,A3", false, 0},
                      ShapeCase{"RowWiderThanABand", "A1:XFD1", true, 2},
                      ShapeCase{"BeyondTheUsedRange", "B19000:B21000", true, 1}),
    [](const ::testing::TestParamInfo<ShapeCase>& test) { return test.param.name; });

// A refused band read leaves its cells without a value, each carrying the refusal; the walk
// still reaches every cell.
TEST(CellsWithValues, ARefusedBandReadIsEachOfItsCellsReadFailing) {
  auto excel = sim::Excel::Create();
  excel->AddWorkbook({u"Sheet1"});
  Fill(*excel, u"Sheet1", u"w");
  excel->FailMember("Range.Values", host::HostError(errors::kFail, u"refused"));
  const auto sheet = excel->Sheets()->Item(u"Sheet1");
  CellsWithValues cells(excel, sheet, OneRange(sheet->Range(u"A1:D40")));
  int visited = 0;
  while (const auto read = cells.Next()) {
    ++visited;
    EXPECT_THROW(read->value.Get(), host::HostError);
  }
  EXPECT_EQ(visited, 160);
}

}  // namespace
}  // namespace morvane
