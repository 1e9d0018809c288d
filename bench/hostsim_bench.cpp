// The wizard's walk over the simulated Excel: CountA of the selection, its constant cells,
// their intersection with the selection, and one Value read per visited cell. A whole-sheet
// selection must cost about what a selection of exactly the filled cells costs: the work follows
// the filled cells, never the 17 billion cells of the sheet.

#include <benchmark/benchmark.h>

#include <string>

#include "hostsim/address.h"
#include "hostsim/excel.h"

namespace {

using morvane::sim::Excel;

constexpr int kRowWidth = 100;

enum Layout { kBlock = 0, kLattice = 1 };
enum Selected { kFilledCells = 0, kWholeSheet = 1 };

// The i-th filled cell: a solid block 100 cells wide, or every other row and column.
morvane::sim::CellKey FilledCell(int i, Layout layout) {
  const int row = i / kRowWidth;
  const int column = i % kRowWidth;
  return layout == kBlock ? morvane::sim::CellKey{row + 1, column + 1}
                          : morvane::sim::CellKey{2 * row + 1, 2 * column + 1};
}

std::shared_ptr<Excel> Sheet(int filled, Layout layout, Selected selected) {
  auto excel = Excel::Create();
  excel->AddWorkbook();
  std::string exact;
  for (int i = 0; i < filled; ++i) {
    const std::string a1 = morvane::sim::FormatCell(FilledCell(i, layout));
    excel->Put(u"Sheet1", a1, std::u16string(u"some text"));
    if (layout == kLattice) {
      exact += (exact.empty() ? "" : ",") + a1;
    }
  }
  if (layout == kBlock) {
    exact = "A1:" + morvane::sim::FormatCell(FilledCell(filled - 1, kBlock));
  }
  excel->Select(selected == kWholeSheet ? "1:1048576" : exact);
  return excel;
}

void BM_ConstantsOfSelection(benchmark::State& state) {
  const int filled = static_cast<int>(state.range(0));
  const auto excel =
      Sheet(filled, static_cast<Layout>(state.range(1)), static_cast<Selected>(state.range(2)));
  std::int64_t visited = 0;
  for (auto _ : state) {
    const auto selection = excel->Selection();
    benchmark::DoNotOptimize(excel->CountA(selection));
    const auto cells = excel->Intersect(selection->SpecialCells(2), selection);
    const auto enumerator = cells->Cells();
    while (const auto cell = enumerator->Next()) {
      benchmark::DoNotOptimize(cell->Value());
      ++visited;
    }
  }
  if (visited != static_cast<std::int64_t>(filled) * state.iterations()) {
    state.SkipWithError("the walk did not visit exactly the filled cells");
  }
  state.SetItemsProcessed(visited);
}

BENCHMARK(BM_ConstantsOfSelection)
    ->ArgNames({"filled", "lattice", "whole_sheet"})
    ->ArgsProduct({{1000, 100000}, {kBlock, kLattice}, {kFilledCells, kWholeSheet}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
