// The end-to-end harness: plays Excel for the real add-in DLL under Wine.
//
//   morvane_e2e <scenario.txt> --dll <Morvane.dll> --ribbon <MorvaneRibbon.xml>
//               [--screens <folder>] [--name <report name>] [--limit <seconds>] [--quiet]
//   morvane_e2e <scenario.txt> --installed <Morvane.dll>   (installed and registered already,
//               by its installer: loaded from there, its registration left as it is)
//   morvane_e2e --record-url <file> <url>      (the browser stand-in; see browser_record.h)
//   morvane_e2e --prepare-prefix               (Wine's window settings for the runs after it)
//
// Paths may be Linux paths; they are reached through Wine's Z: drive. Exit code 0 when the
// scenario passed, 1 when it failed, 2 when it could not be read.

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/bench_counters.h"
#include "tests/e2e/browser_record.h"
#include "tests/e2e/harness_text.h"
#include "tests/e2e/report.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/session.h"
#include "tests/support/run_again.h"

namespace morvane::e2e {
namespace {

// A scenario that runs longer than this is stuck: it fails, and the process ends.
constexpr int kDefaultLimitSeconds = 90;

struct Arguments {
  std::wstring scenario;
  SessionOptions session;
  std::string name;
  int limitSeconds = kDefaultLimitSeconds;
};

std::string ReadFile(const std::wstring& path, bool* ok) {
  std::string text;
  FILE* file = _wfopen(path.c_str(), L"rb");
  *ok = file != nullptr;
  if (file != nullptr) {
    for (int c; (c = std::fgetc(file)) != EOF;) {
      text += static_cast<char>(c);
    }
    std::fclose(file);
  }
  return text;
}

std::string StemOf(const std::wstring& path) {
  std::wstring stem = path.substr(path.find_last_of(L"\\/") + 1);
  stem = stem.substr(0, stem.find_last_of(L'.'));
  return Utf8FromWide(stem);
}

bool Parse(const std::vector<std::wstring>& args, Arguments& out) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((arg == L"--dll" || arg == L"--installed") && hasValue) {
      out.session.installed = arg == L"--installed";
      out.session.dll = WindowsPath(Utf8FromWide(args[++i]));
    } else if (arg == L"--ribbon" && hasValue) {
      out.session.ribbonFile = WindowsPath(Utf8FromWide(args[++i]));
    } else if (arg == L"--screens" && hasValue) {
      out.session.screenshots = Utf8FromWide(args[++i]);
    } else if (arg == L"--name" && hasValue) {
      out.name = Utf8FromWide(args[++i]);
    } else if (arg == L"--limit" && hasValue) {
      out.limitSeconds = std::stoi(args[++i]);
    } else if (arg == L"--quiet") {
      out.session.echo = false;
    } else if (out.scenario.empty() && arg.rfind(L"--", 0) != 0) {
      out.scenario = WindowsPath(Utf8FromWide(arg));
    } else {
      return false;
    }
  }
  if (out.name.empty()) {
    out.name = StemOf(out.scenario);
  }
  return !out.scenario.empty() && !out.session.dll.empty() &&
         (out.session.installed || !out.session.ribbonFile.empty());
}

// Without a window manager on the X display, Wine has to manage the windows itself: otherwise
// it waits (two seconds) for a window manager to withdraw every window it hides, and nobody
// draws title bars, which the pictures should show. Wine reads these settings when a process
// starts: false when they had to be set now, for the next process.
bool OwnWindowsInForce() {
  const wchar_t* const key = L"Software\\Wine\\X11 Driver";
  bool inForce = true;
  for (const wchar_t* name : {L"Managed", L"Decorated"}) {
    wchar_t value[8] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &bytes) ==
            ERROR_SUCCESS &&
        std::wstring(value) == L"N") {
      continue;
    }
    const wchar_t no[] = L"N";
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, no, sizeof no);
    inForce = false;
  }
  return inForce;
}

int Main(const std::vector<std::wstring>& args) {
  if (args.size() == 4 && args[1] == kRecordUrlSwitch) {
    return RecordUrl(args[2], args[3]);
  }
  if (args.size() == 2 && args[1] == L"--prepare-prefix") {
    // A set-up step of the test run, not a test: it reports no test case.
    OwnWindowsInForce();
    WriteReport("e2e_prefix", 0, {}, 0);
    return 0;
  }
  if (!OwnWindowsInForce()) {
    return static_cast<int>(fakes::RunAgain(2));
  }
  Arguments arguments;
  if (!Parse(args, arguments)) {
    std::fprintf(stderr,
                 "usage: morvane_e2e <scenario> --dll <Morvane.dll> --ribbon <MorvaneRibbon.xml> "
                 "| --installed <installed Morvane.dll> [--screens <folder>] [--name <name>] "
                 "[--limit <seconds>] [--quiet]\n");
    return 2;
  }
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  arguments.session.harness = self;

  bool readable = false;
  const std::string text = ReadFile(arguments.scenario, &readable);
  Scenario scenario;
  try {
    if (!readable) {
      throw std::runtime_error("cannot read " + Utf8FromWide(arguments.scenario));
    }
    scenario = ParseScenario(text);
  } catch (const std::exception& error) {
    std::fprintf(stdout, "%s: %s\n", arguments.name.c_str(), error.what());
    WriteReport(arguments.name, 0, {error.what()});
    return 2;
  }

  // A stuck window or a hung add-in must fail the scenario, not the whole test run.
  const std::string name = arguments.name;
  const int limit = arguments.limitSeconds;
  std::thread([name, limit] {
    std::this_thread::sleep_for(std::chrono::seconds(limit));
    const std::string failure =
        "the scenario did not finish within " + std::to_string(limit) + " s";
    std::fprintf(stdout, "FAILED: %s\n", failure.c_str());
    std::fflush(stdout);
    WriteReport(name, limit, {failure});
    BrowserRecorder::RestoreNow();
    TerminateProcess(GetCurrentProcess(), 3);
  }).detach();

  // Excel's user-interface thread: a single-threaded apartment with the common controls ready.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  const auto began = std::chrono::steady_clock::now();
  std::vector<std::string> failures;
  {
    Session session(scenario, arguments.session);
    failures = session.Play();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  CoUninitialize();

  WriteReport(name, seconds, failures);
  if (std::getenv("MORVANE_E2E_BENCH") != nullptr) {
    PrintBench();
  }
  if (failures.empty()) {
    std::fprintf(stdout, "%s: passed (%.1f s)\n", name.c_str(), seconds);
  } else {
    std::fprintf(stdout, "%s: FAILED, %zu problem(s):\n", name.c_str(), failures.size());
    for (const std::string& failure : failures) {
      std::fprintf(stdout, "  %s\n", failure.c_str());
    }
  }
  std::fflush(stdout);
  return failures.empty() ? 0 : 1;
}

}  // namespace
}  // namespace morvane::e2e

int main() {
  // UTF-8 goes out byte for byte, without a carriage return before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int count = 0;
  LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args(raw, raw + count);
  LocalFree(raw);
  return morvane::e2e::Main(args);
}
