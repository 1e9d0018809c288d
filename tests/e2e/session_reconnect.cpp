// "reconnect N unloaded|loaded": the user switches the add-in off and on again N times in the
// COM Add-ins dialog, with COM unloading the DLL in between (CoFreeUnusedLibraries) or keeping
// it. Afterwards the process must hold what it held after the first round: handles, windows,
// Excel objects, Click connections and the controls on the menu bar.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/e2e/harness_text.h"
#include "tests/e2e/served_object.h"
#include "tests/e2e/session.h"
#include "tests/e2e/session_words.h"

namespace morvane::e2e {
namespace {

struct Footprint {
  DWORD handles = 0;
  int windows = 0;
  long excelObjects = 0;
  int clickConnections = 0;
  std::size_t barControls = 0;
};

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

// Top-level windows and message-only windows (COM's and the add-in's hidden ones) alike.
int OwnWindows() {
  int count = 0;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  for (HWND window = nullptr;
       (window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;) {
    CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// Wine answers GetProcessHandleCount with 0: every handle value is asked about instead.
DWORD OwnHandles() {
  DWORD count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
    }
  }
  return count;
}

}  // namespace

void Session::Reconnect(const ScenarioLine& line) {
  if (!connected_ || !install_) {
    throw std::logic_error("reconnect needs a connected add-in");
  }
  const int rounds = std::stoi(line.words[0].text);
  const std::string& mode = line.words[1].text;
  if (rounds < 1 || (mode != "unloaded" && mode != "loaded")) {
    throw std::invalid_argument("reconnect takes a count and unloaded or loaded");
  }
  const bool unload = mode == "unloaded";
  const std::u16string progId = win32::FromWide(install_->ProgId());
  auto measure = [&] {
    Footprint now;
    now.handles = OwnHandles();
    now.windows = OwnWindows();
    now.excelObjects = ServedObject::Live();
    now.clickConnections = excel_->LiveClickConnections();
    now.barControls = excel_->BarControls(kMenuBar).size();
    return now;
  };
  auto round = [&] {
    excel_->ComAddIn(progId)->SetConnect(false);  // OnDisconnection inside, as Excel does
    ReleaseAddIn();
    if (unload) {
      install_->Unload();
    }
    connect_ = install_->Create();
    extensibility_ = connect_.try_query<IDTExtensibility2>();
    if (!extensibility_) {
      Fail("the add-in could not be created again");
      return false;
    }
    excel_->ComAddIn(progId)->SetConnect(true);
    const HRESULT hr = extensibility_->OnConnection(application_.get(), ext_cm_AfterStartup,
                                                    addInInst_.get(), &custom_);
    if (hr != S_OK) {
      Fail("OnConnection answered " + Hex(hr));
    }
    connected_ = true;
    ribbon_ = connect_.try_query<IRibbonExtensibility>();
    if (IsRibbonHost() && ribbon_) {
      FetchCustomUI();
    }
    AfterCommand();
    return true;
  };
  // The first round may set up what Wine and COM keep for the rest of the process.
  const std::size_t failedBefore = failures_.size();
  if (!round()) {
    return;
  }
  const Footprint before = measure();
  for (int i = 1; i < rounds && failures_.size() == failedBefore; ++i) {
    round();
  }
  const Footprint after = measure();
  if (options_.echo) {
    std::fprintf(stdout, "     handles %lu -> %lu, windows %d -> %d, Excel objects %ld -> %ld\n",
                 before.handles, after.handles, before.windows, after.windows, before.excelObjects,
                 after.excelObjects);
  }
  auto compare = [&](const char* what, long long was, long long is) {
    if (is != was) {
      Fail(std::string(what) + " went from " + std::to_string(was) + " to " + std::to_string(is) +
           " over " + std::to_string(rounds - 1) + " rounds");
    }
  };
  compare("handles", before.handles, after.handles);
  compare("windows", before.windows, after.windows);
  compare("Excel objects held", before.excelObjects, after.excelObjects);
  compare("Click connections", before.clickConnections, after.clickConnections);
  compare("menu bar controls", static_cast<long long>(before.barControls),
          static_cast<long long>(after.barControls));
}

}  // namespace morvane::e2e
