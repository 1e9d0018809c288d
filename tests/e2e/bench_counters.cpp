#include "tests/e2e/bench_counters.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace morvane::e2e {
namespace {

std::int64_t ThreadCpu100ns() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) {
    return 0;
  }
  const auto value = [](const FILETIME& t) {
    return (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return value(kernel) + value(user);
}

WNDPROC labelProc = nullptr;
WNDPROC barProc = nullptr;

LRESULT CALLBACK CountLabel(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Bench().labelTexts += message == WM_SETTEXT ? 1 : 0;
  return CallWindowProcW(labelProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CountBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Bench().barPositions += message == PBM_SETPOS ? 1 : 0;
  return CallWindowProcW(barProc, window, message, wParam, lParam);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

BenchCounters& Bench() {
  static BenchCounters counters;
  return counters;
}

std::int64_t Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double MsSince(std::int64_t ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

CommandSpan::CommandSpan()
    : start_(Ticks()),
      servedAtStart_(Bench().servedTicks),
      cpuAtStart_(ThreadCpu100ns()),
      invokesAtStart_(Bench().invokes),
      namesAtStart_(Bench().namesLookedUp) {}

void CommandSpan::Finish() {
  BenchCounters& bench = Bench();
  bench.commandWallMs = MsSince(Ticks() - start_);
  bench.commandServedMs = MsSince(bench.servedTicks - servedAtStart_);
  bench.commandCpuMs = static_cast<double>(ThreadCpu100ns() - cpuAtStart_) / 10000.0;
  bench.commandInvokes = bench.invokes - invokesAtStart_;
  bench.commandNamesLookedUp = bench.namesLookedUp - namesAtStart_;
}

void CountScreenUpdates(HWND dialog) {
  if (labelProc != nullptr || barProc != nullptr) {
    return;  // one wizard per run is counted
  }
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[16] = L"";
    GetWindowTextW(child, text, 16);
    const std::wstring kind = ClassOf(child);
    // The window's own procedure is kept before the counting one replaces it: the window's
    // thread may call the counting one at once.
    if (kind == PROGRESS_CLASSW && barProc == nullptr) {
      barProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
      SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountBar));
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0 && std::wstring(text) == L"0%" &&
               labelProc == nullptr) {
      labelProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
      SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountLabel));
    }
  }
}

void PrintBench() {
  const BenchCounters& b = Bench();
  std::printf(
      "bench: load_ms=%.2f customui_ms=%.2f command_wall_ms=%.1f command_cpu_ms=%.1f "
      "command_served_ms=%.1f command_invokes=%ld command_getidsofnames=%ld label_texts=%ld "
      "bar_positions=%ld run_invokes=%ld run_getidsofnames=%ld cell_fetches=%ld\n",
      b.loadMs, b.customUiMs, b.commandWallMs, b.commandCpuMs, b.commandServedMs, b.commandInvokes,
      b.commandNamesLookedUp, b.labelTexts, b.barPositions, b.invokes, b.namesLookedUp,
      b.cellFetches);
  std::fflush(stdout);
}

}  // namespace morvane::e2e
