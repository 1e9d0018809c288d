// ApplyCase against ICU's whole-string case functions and against copies of the same text, on
// the same inputs in one run. Every contender produces a new string per cell, as the add-in does.
// Prints Google Benchmark's table, then each contender's time as a ratio to ApplyCase's.

#include <benchmark/benchmark.h>
#include <unicode/ubrk.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "convert/rules/case_rules.h"

namespace {

using morvane::ApplyCase;
using morvane::CaseMode;

const std::vector<std::u16string> kFirst = {u"james", u"Mary",     u"ROBERT",  u"patricia",
                                            u"John",  u"jennifer", u"Michael", u"LINDA",
                                            u"david", u"Susan"};
const std::vector<std::u16string> kLast = {u"smith",  u"JOHNSON", u"Williams", u"brown", u"Jones",
                                           u"o'neil", u"garcia",  u"MILLER",   u"Davis", u"wilson"};
const std::vector<std::u16string> kStreet = {u"main st",    u"Oak Avenue", u"PARK ROAD",
                                             u"elm street", u"Maple Dr.",  u"high street"};
const std::vector<std::u16string> kProduct = {
    u"stainless steel water bottle 750ml", u"USB-C CHARGING CABLE, 2m",
    u"Organic green tea (20 bags)",        u"wireless mouse - black",
    u"A4 copy paper. 500 sheets",          u"LED desk lamp with dimmer"};
const std::vector<std::u16string> kForeign = {u"café",   u"Ãngström", u"ÉCOLE",    u"naïve",
                                              u"Straße", u"αθήνα",    u"ΚΑΛΗΜΈΡΑ", u"москва",
                                              u"ПРИВЕТ", u"žluťoučký"};

template <class T>
const T& Pick(std::mt19937& rng, const std::vector<T>& from) {
  return from[rng() % from.size()];
}

// Typical spreadsheet cells: names, addresses and product titles.
std::vector<std::u16string> EnglishCells(bool mixForeign) {
  std::mt19937 rng(42);
  std::vector<std::u16string> cells;
  cells.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    std::u16string cell;
    switch (i % 3) {
      case 0:
        cell = Pick(rng, kFirst) + u" " + Pick(rng, kLast);
        break;
      case 1:
        cell = std::u16string(1, u'1' + rng() % 9) + u"2 " + Pick(rng, kStreet);
        break;
      default:
        cell = Pick(rng, kProduct);
        break;
    }
    if (mixForeign) {
      cell += u" " + Pick(rng, kForeign);
    }
    cells.push_back(std::move(cell));
  }
  return cells;
}

std::vector<std::u16string> LongCell() {
  std::mt19937 rng(7);
  std::u16string text;
  while (text.size() < 32767) {
    text += Pick(rng, kProduct) + u". " + Pick(rng, kForeign) + u" ";
  }
  text.resize(32767);
  return {text};
}

const std::vector<std::u16string>& Input(int which) {
  static const std::vector<std::u16string> inputs[] = {EnglishCells(false), EnglishCells(true),
                                                       LongCell()};
  return inputs[which];
}

const char* kInputNames[] = {"english", "mixed", "long"};

std::size_t Units(const std::vector<std::u16string>& cells) {
  std::size_t n = 0;
  for (const auto& c : cells) {
    n += c.size();
  }
  return n;
}

void RunApplyCase(benchmark::State& state, CaseMode mode, int input) {
  const auto& cells = Input(input);
  for (auto _ : state) {
    for (const auto& cell : cells) {
      benchmark::DoNotOptimize(ApplyCase(cell, mode));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Units(cells)));
}

// ICU's upper/lower/title functions, each writing a new string of the right length per cell.
enum class IcuCase { Upper, Lower, Title };

void RunIcu(benchmark::State& state, IcuCase which, int input) {
  const auto& cells = Input(input);
  UErrorCode status = U_ZERO_ERROR;
  UBreakIterator* words = ubrk_open(UBRK_WORD, "", nullptr, 0, &status);
  for (auto _ : state) {
    for (const auto& cell : cells) {
      std::u16string out(cell.size(), u'\0');
      UErrorCode error = U_ZERO_ERROR;
      const int32_t capacity = static_cast<int32_t>(out.size());
      const int32_t length = static_cast<int32_t>(cell.size());
      int32_t written = 0;
      switch (which) {
        case IcuCase::Upper:
          written = u_strToUpper(out.data(), capacity, cell.data(), length, "", &error);
          break;
        case IcuCase::Lower:
          written = u_strToLower(out.data(), capacity, cell.data(), length, "", &error);
          break;
        case IcuCase::Title:
          written = u_strToTitle(out.data(), capacity, cell.data(), length, words, "", &error);
          break;
      }
      if (written > capacity) {  // a full mapping grew the text (ß → SS): redo with room
        out.resize(written);
        error = U_ZERO_ERROR;
        if (which == IcuCase::Upper) {
          u_strToUpper(out.data(), written, cell.data(), length, "", &error);
        } else if (which == IcuCase::Lower) {
          u_strToLower(out.data(), written, cell.data(), length, "", &error);
        } else {
          u_strToTitle(out.data(), written, cell.data(), length, words, "", &error);
        }
      }
      benchmark::DoNotOptimize(out);
    }
  }
  ubrk_close(words);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Units(cells)));
}

void RunMemcpy(benchmark::State& state, int input) {
  const auto& cells = Input(input);
  for (auto _ : state) {
    for (const auto& cell : cells) {
      std::u16string out(cell.size(), u'\0');
      std::memcpy(out.data(), cell.data(), cell.size() * sizeof(char16_t));
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Units(cells)));
}

// The least any contender can do: copy the cell into a new string in one pass. The memcpy floor
// above first fills the new string with zeros, a second pass over it.
void RunCopy(benchmark::State& state, int input) {
  const auto& cells = Input(input);
  for (auto _ : state) {
    for (const auto& cell : cells) {
      std::u16string out(cell);
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Units(cells)));
}

void RegisterAll() {
  const struct {
    const char* name;
    CaseMode mode;
  } modes[] = {{"upper", CaseMode::UpperCase},
               {"lower", CaseMode::LowerCase},
               {"title", CaseMode::TitleCase},
               {"sentence", CaseMode::SentenceCase}};
  for (int input = 0; input < 3; ++input) {
    const std::string in = kInputNames[input];
    for (const auto& m : modes) {
      benchmark::RegisterBenchmark(("ApplyCase/" + std::string(m.name) + "/" + in).c_str(),
                                   RunApplyCase, m.mode, input)
          ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(("ICU/upper/" + in).c_str(), RunIcu, IcuCase::Upper, input)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("ICU/lower/" + in).c_str(), RunIcu, IcuCase::Lower, input)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("ICU/title/" + in).c_str(), RunIcu, IcuCase::Title, input)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("memcpy/" + in).c_str(), RunMemcpy, input)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("copy/" + in).c_str(), RunCopy, input)
        ->Unit(benchmark::kMicrosecond);
  }
}

// Keeps each run's CPU time per iteration so the ratios come from this very run (CPU time: the
// machine is shared, and waiting for a core is not the code's cost).
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
        times[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

void PrintRatios(const std::map<std::string, double>& t) {
  std::printf("\nratio = baseline time / ApplyCase time (above 1: ApplyCase is faster)\n");
  std::printf("%-10s %-9s %12s %14s %12s\n", "input", "mode", "vs ICU", "vs memcpy", "vs copy");
  for (const char* in : kInputNames) {
    for (const char* mode : {"upper", "lower", "title", "sentence"}) {
      const std::string ours = "ApplyCase/" + std::string(mode) + "/" + in;
      const std::string icu = std::string("ICU/") + mode + "/" + in;
      const std::string floor = std::string("memcpy/") + in;
      if (!t.count(ours)) {
        continue;
      }
      char vsIcu[32] = "-";
      if (t.count(icu)) {
        std::snprintf(vsIcu, sizeof vsIcu, "%.2f", t.at(icu) / t.at(ours));
      }
      std::printf("%-10s %-9s %12s %14.2f %12.2f\n", in, mode, vsIcu, t.at(floor) / t.at(ours),
                  t.at("copy/" + std::string(in)) / t.at(ours));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter.times);
  benchmark::Shutdown();
  return 0;
}
