// The wizard's Convert on the simulated Excel: 100,000 text cells changed, the same cells
// already in the target case, and a whole-sheet selection against an exact one. Reports the
// host calls per visited cell (every call on the real host crosses into Excel) and the time.
// The form is a no-op, so the numbers are Convert's own plus the simulator's.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "addin/model/ui_port.h"
#include "convert/wizard.h"
#include "hostsim/excel.h"
#include "snapshot/main_code.h"
#include "tests/support/adapter_calls.h"

namespace {

using morvane::CaseMode;

class NoOpForm : public morvane::WizardForm {
 public:
  explicit NoOpForm(CaseMode mode) : mode_(mode) {}
  std::optional<CaseMode> SelectedOption() override { return mode_; }
  void ShowStopInsteadOfConvert() override {}
  void SetProgressMax(float) override {}
  void SetProgressValue(float) override {}
  void SetPercentCaption(const std::u16string&) override {}
  void ProcessPendingMessages() override {}
  bool CloseRequested() override { return false; }
  void CloseAndDiscard() override {}

 private:
  CaseMode mode_;
};

class SilentUi : public morvane::ui::Port {
 public:
  void ShowMessage(const std::u16string&) override {}
};

std::string A1(int row) {
  std::string a1 = "A";
  a1 += std::to_string(row);
  return a1;
}

// A workbook whose Sheet1 holds `cells` texts in column A: `text` and a letter that runs from
// `firstLetter` through the alphabet, so neighbouring cells differ.
std::shared_ptr<morvane::sim::Excel> HostWithTexts(int cells, const std::u16string& text,
                                                   char16_t firstLetter = u'a') {
  auto excel = morvane::sim::Excel::Create();
  excel->AddWorkbook({u"Sheet1"});
  for (int row = 1; row <= cells; ++row) {
    excel->Put(u"Sheet1", A1(row),
               text + u" " + std::u16string(1, static_cast<char16_t>(firstLetter + row % 26)));
  }
  return excel;
}

void Report(benchmark::State& state, const morvane::sim::Excel& excel, double visited) {
  const double runs = static_cast<double>(state.iterations());
  const double cellCalls =
      static_cast<double>(excel.CallCount("Range.Value") + excel.CallCount("Range.SetValue") +
                          excel.CallCount("Range.NumberFormat"));
  state.counters["calls/cell"] = static_cast<double>(excel.TotalCalls()) / (runs * visited);
  state.counters["adapter calls/cell"] = morvane::fakes::AdapterCalls(excel) / (runs * visited);
  state.counters["cell calls/cell"] = cellCalls / (runs * visited);
  state.counters["next/cell"] =
      static_cast<double>(excel.CallCount("CellEnumerator.Next")) / (runs * visited);
  state.counters["cells"] = visited;
  state.SetItemsProcessed(static_cast<std::int64_t>(runs * visited));
}

// Converts the selection once per iteration, alternating upper and lower case so that every
// run changes every cell.
void ConvertAlternately(benchmark::State& state, const std::shared_ptr<morvane::sim::Excel>& excel,
                        int cells) {
  morvane::xlApp = excel;
  morvane::ui::Install(std::make_shared<SilentUi>());
  bool upper = true;
  excel->ResetCounters();
  for (auto _ : state) {
    NoOpForm form(upper ? CaseMode::UpperCase : CaseMode::LowerCase);
    morvane::cmdConvert_Click(form);
    upper = !upper;
  }
  Report(state, *excel, cells);
  morvane::xlApp.reset();
}

void BM_ConvertChangedText(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  auto excel = HostWithTexts(cells, u"main street");
  excel->Select("A1:A" + std::to_string(cells));
  ConvertAlternately(state, excel, cells);
}
BENCHMARK(BM_ConvertChangedText)->Arg(100000)->Unit(benchmark::kMillisecond);

// Texts with a digit, which Excel might read as something else: the cell's number format is
// read before the one write.
void BM_ConvertTextWithDigits(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  auto excel = HostWithTexts(cells, u"flat 4b");
  excel->Select("A1:A" + std::to_string(cells));
  ConvertAlternately(state, excel, cells);
}
BENCHMARK(BM_ConvertTextWithDigits)->Arg(100000)->Unit(benchmark::kMillisecond);

// A host whose `cells` texts in column A were converted to UPPER CASE, connected as xlApp, with
// its undo copy.
std::shared_ptr<morvane::sim::Excel> ConvertedHost(int cells) {
  auto excel = HostWithTexts(cells, u"main street");
  excel->Select("A1:A" + std::to_string(cells));
  morvane::xlApp = excel;
  morvane::ui::Install(std::make_shared<SilentUi>());
  NoOpForm form(CaseMode::UpperCase);
  morvane::cmdConvert_Click(form);
  return excel;
}

// Undo and redo after a conversion of every cell, alternately: each run writes every cell back
// into the working sheet in place.
void BM_UndoRedoInPlace(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  const auto excel = ConvertedHost(cells);
  bool undo = true;
  excel->ResetCounters();
  for (auto _ : state) {
    undo ? morvane::UndoLastChange() : morvane::RedoLastChange();
    undo = !undo;
  }
  Report(state, *excel, cells);
  morvane::xlApp.reset();
}
BENCHMARK(BM_UndoRedoInPlace)->Arg(100000)->Iterations(2)->Unit(benchmark::kMillisecond);

// Undo after every converted text was typed over: each cell is left as it is, none written.
void BM_UndoLeavesRetypedText(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  const auto excel = ConvertedHost(cells);
  for (int row = 1; row <= cells; ++row) {
    excel->Put(u"Sheet1", A1(row), std::u16string(u"typed since"));
  }
  excel->ResetCounters();
  for (auto _ : state) {
    morvane::UndoLastChange();
  }
  Report(state, *excel, cells);
  morvane::xlApp.reset();
}
BENCHMARK(BM_UndoLeavesRetypedText)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The texts are already in the chosen case: no write.
void BM_ConvertUnchangedText(benchmark::State& state) {
  const int cells = static_cast<int>(state.range(0));
  auto excel = HostWithTexts(cells, u"MAIN STREET", u'A');
  excel->Select("A1:A" + std::to_string(cells));
  morvane::xlApp = excel;
  morvane::ui::Install(std::make_shared<SilentUi>());
  excel->ResetCounters();
  for (auto _ : state) {
    NoOpForm form(CaseMode::UpperCase);
    morvane::cmdConvert_Click(form);
  }
  Report(state, *excel, cells);
  morvane::xlApp.reset();
}
BENCHMARK(BM_ConvertUnchangedText)->Arg(100000)->Unit(benchmark::kMillisecond);

// A whole column whose 100,000 rows alternate text constants and formulas showing a text, on
// Excel 2007 (12: its SpecialCells answer falls back to the whole column past 8,192 areas, so the
// add-in searches blocks) and on Excel 2010 (14: one search), in the same run.
void BM_ConvertAlternatingFormulas(benchmark::State& state) {
  const int rows = 100000;
  auto excel = morvane::sim::Excel::Create();
  excel->AddWorkbook({u"Sheet1"});
  excel->SetVersion(state.range(0) == 12 ? u"12.0" : u"14.0");
  for (int row = 1; row <= rows; ++row) {
    if (row % 2 == 1) {
      excel->Put(u"Sheet1", A1(row), std::u16string(u"main street"));
    } else {
      excel->PutFormula(u"Sheet1", A1(row), u"=A1", std::u16string(u"main street"));
    }
  }
  excel->Select("A:A");
  state.SetLabel(state.range(0) == 12 ? "Excel 2007" : "Excel 2010");
  ConvertAlternately(state, excel, rows / 2);
}
BENCHMARK(BM_ConvertAlternatingFormulas)->Arg(12)->Arg(14)->Unit(benchmark::kMillisecond);

// 1,000 text cells, selected exactly (0) or through the whole sheet (1).
void BM_Convert1000Cells(benchmark::State& state) {
  const bool wholeSheet = state.range(0) == 1;
  auto excel = HostWithTexts(1000, u"main street");
  excel->Select(wholeSheet ? "A:XFD" : "A1:A1000");
  state.SetLabel(wholeSheet ? "whole sheet" : "exact");
  ConvertAlternately(state, excel, 1000);
}
BENCHMARK(BM_Convert1000Cells)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
