#pragma once

// What a benchmark run of the harness reports beside its wall time: the add-in's calls into the
// served Excel and the time they took, the host thread's CPU time during a command, the label
// and bar updates of the wizard, and the load. Printed at the end of a run when
// MORVANE_E2E_BENCH is set; counted always, since counting costs next to nothing.

#include <windows.h>

#include <cstdint>

namespace morvane::e2e {

struct BenchCounters {
  // On the host thread, for the whole run.
  long invokes = 0;
  long namesLookedUp = 0;        // GetIDsOfNames calls
  long cellFetches = 0;          // IEnumVARIANT::Next calls
  std::int64_t servedTicks = 0;  // QueryPerformanceCounter ticks inside the served objects
  // The last menu command (click): host-thread CPU time, wall time, and the counts above taken
  // over it alone.
  double commandCpuMs = 0;
  double commandWallMs = 0;
  double commandServedMs = 0;
  long commandInvokes = 0;
  long commandNamesLookedUp = 0;
  // Set by the wizard's label (WM_SETTEXT) and bar (PBM_SETPOS), counted from CONVERT's press.
  long labelTexts = 0;
  long barPositions = 0;
  // LoadLibrary to OnConnection's return; GetCustomUI (0 for a host without a ribbon).
  double loadMs = 0;
  double customUiMs = 0;
};

BenchCounters& Bench();

double MsSince(std::int64_t ticks);
std::int64_t Ticks();

// Adds the time from its making to its end to servedTicks.
class ServedTime {
 public:
  ServedTime() : start_(Ticks()) {}
  ~ServedTime() { Bench().servedTicks += Ticks() - start_; }
  ServedTime(const ServedTime&) = delete;
  ServedTime& operator=(const ServedTime&) = delete;

 private:
  std::int64_t start_;
};

// Takes the counts over one command, from its making to Finish.
class CommandSpan {
 public:
  CommandSpan();
  void Finish();

 private:
  std::int64_t start_;
  std::int64_t servedAtStart_;
  std::int64_t cpuAtStart_;
  long invokesAtStart_;
  long namesAtStart_;
};

// From now on counts the texts set on `dialog`'s percentage label (its static control showing
// "%") and the positions set on its progress bar. Called from any thread of the process.
void CountScreenUpdates(HWND dialog);

// One line, "bench: name=value ...", on stdout.
void PrintBench();

}  // namespace morvane::e2e
